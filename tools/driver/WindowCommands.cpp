// window, controls, hex, rect, workarea, until: the program's dialogs and message boxes, their
// controls and where they are on the screen.
#include "Commands.h"
#include "ProgramWindows.h"

#include <cstdio>
#include <iterator>

namespace {

bool Window(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() > 1 && !ParseNumber(invocation.words[1], timeout)) {
        return session.Fail("window takes a timeout in milliseconds");
    }
    Program* program = session.CurrentProgram();
    if (!program) {
        return false;
    }
    // A closed window's handle may come back for a new one.
    for (auto it = session.reported.begin(); it != session.reported.end();) {
        it = ::IsWindow(*it) ? std::next(it) : session.reported.erase(it);
    }
    const DWORD start = ::GetTickCount();
    HWND window = nullptr;
    while (!(window = FindNewWindow(program->processId, session.reported, true))) {
        if (::WaitForSingleObject(program->process.get(), 20) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(program->process.get(), &code);
            return session.Fail("the program ended with exit code " + std::to_string(code) +
                                " without showing a window");
        }
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail("no window within " + std::to_string(timeout) + " ms");
        }
    }
    // Let the dialog finish its initialisation before anyone looks at it.
    ::WaitForInputIdle(program->process.get(), static_cast<DWORD>(PatienceMs));
    session.reported.insert(window);
    program->window = window;
    session.Print("window " + session.Text(WindowTextOf(window)));
    return true;
}

const char* CheckState(HWND control, const std::string& className, LONG style)
{
    if (className != "Button") {
        return nullptr;
    }
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
        break;
    default:
        return nullptr;
    }
    switch (::SendMessageA(control, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return "checked";
    case BST_INDETERMINATE:
        return "indeterminate";
    default:
        return "unchecked";
    }
}

bool Controls(Session& session, const Invocation&)
{
    HWND window = CurrentWindow(session);
    if (!window) {
        return false;
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::string className = ClassNameOf(child);
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        char head[160];
        std::snprintf(head, sizeof(head), "control %d %s style=0x%08lx %s %s", ::GetDlgCtrlID(child),
                      className.c_str(), static_cast<unsigned long>(style),
                      (style & WS_VISIBLE) ? "visible" : "hidden", (style & WS_DISABLED) ? "disabled" : "enabled");
        std::string line = head;
        if (const char* check = CheckState(child, className, style)) {
            line += std::string(" ") + check;
        }
        if (className == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            line += ::SendMessageA(child, STM_GETICON, 0, 0) ? " icon" : " no-icon";
        }
        session.Print(line + " " + session.Text(WindowTextOf(child)));
    }
    return true;
}

bool HexMode(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2 || (invocation.words[1] != "on" && invocation.words[1] != "off")) {
        return session.Fail("hex takes on or off");
    }
    session.hex = invocation.words[1] == "on";
    return true;
}

// "NAME LEFT TOP WIDTH HEIGHT"
void PrintRect(Session& session, const char* name, const RECT& r)
{
    char line[120];
    std::snprintf(line, sizeof(line), "%s %ld %ld %ld %ld", name, static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    session.Print(line);
}

// rect [ID]: the current window's rectangle, or its control's, in screen pixels.
bool Rect(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() > 2) {
        return session.Fail("rect takes at most a control id");
    }
    HWND target = invocation.words.size() == 2 ? ControlOf(session, invocation.words[1], false) : CurrentWindow(session);
    if (!target) {
        return false;
    }
    RECT r{};
    if (!::GetWindowRect(target, &r)) {
        return session.Fail("the window has no rectangle");
    }
    PrintRect(session, "rect", r);
    return true;
}

// workarea: the work area (the screen less the taskbar and other docked bars) of the monitor
// that the current window is on, in screen pixels.
bool WorkArea(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 1) {
        return session.Fail("workarea takes no arguments");
    }
    HWND window = CurrentWindow(session);
    if (!window) {
        return false;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return session.Fail("the window's monitor cannot be read");
    }
    PrintRect(session, "workarea", monitor.rcWork);
    return true;
}

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

} // namespace

std::vector<Command> WindowCommands()
{
    return {{"window", Window}, {"controls", Controls}, {"hex", HexMode},
            {"rect", Rect},     {"workarea", WorkArea}, {"until", Until}};
}
