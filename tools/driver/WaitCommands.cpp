// until, waitfile: waiting for the program, or for whoever runs the script.
#include "Commands.h"
#include "ProgramWindows.h"

namespace {

// The words of `controls` that a control's state can show.
std::vector<std::string> StateWords(HWND control)
{
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    std::vector<std::string> words = {(style & WS_VISIBLE) ? "visible" : "hidden",
                                      (style & WS_DISABLED) ? "disabled" : "enabled"};
    LRESULT check = 0;
    if (SendQuick(control, BM_GETCHECK, 0, 0, check)) {
        words.push_back(check == BST_CHECKED ? "checked" : check == BST_INDETERMINATE ? "indeterminate" : "unchecked");
    }
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(control, nullptr), &thread) && thread.hwndFocus == control) {
        words.push_back("focused");
    }
    // A multi-line edit's view: which of its lines is the first one shown.
    LRESULT first = 0;
    if (ClassNameOf(control) == "Edit" && (style & ES_MULTILINE) &&
        SendQuick(control, EM_GETFIRSTVISIBLELINE, 0, 0, first)) {
        words.push_back("first=" + std::to_string(first));
    }
    return words;
}

bool Shows(const std::vector<std::string>& state, const std::vector<std::string>& wanted)
{
    for (size_t i = 2; i < wanted.size(); ++i) {
        bool found = false;
        for (const std::string& word : state) {
            found = found || word == wanted[i];
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

// until ID WORD...: waits until control ID shows every WORD (visible, hidden,
// enabled, disabled, checked, unchecked, indeterminate, focused, first=LINE), then until the
// program has gone back to its message loop.
bool Until(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() < 3) {
        return session.Fail("until needs a control id and the state words to wait for");
    }
    HWND control = ControlOf(session, invocation.words[1], false);
    if (!control) {
        return false;
    }
    const DWORD start = ::GetTickCount();
    std::vector<std::string> state;
    while (!Shows(state = StateWords(control), invocation.words)) {
        if (::GetTickCount() - start > static_cast<DWORD>(PatienceMs) || !::IsWindow(control)) {
            std::string shown;
            for (const std::string& word : state) {
                shown += " " + word;
            }
            return session.Fail("control " + invocation.words[1] + " still shows" + shown);
        }
        ::Sleep(10);
    }
    Settle(::GetParent(control));
    return true;
}

// waitfile PATH [MS]: waits until the file exists, then deletes it. Lets the
// one who runs the script do something at that point (take a picture) and say when it is done.
bool WaitFile(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() < 2 || invocation.words.size() > 3 ||
        (invocation.words.size() == 3 && !ParseNumber(invocation.words[2], timeout))) {
        return session.Fail("waitfile needs a file name and optionally a timeout in milliseconds");
    }
    const std::string& path = invocation.words[1];
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail(path + " did not appear within " + std::to_string(timeout) + " ms");
        }
        ::Sleep(20);
    }
    ::DeleteFileA(path.c_str());
    return true;
}

} // namespace

std::vector<Command> WaitCommands()
{
    return {{"until", Until}, {"waitfile", WaitFile}};
}
