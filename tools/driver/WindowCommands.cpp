// window, controls, click, key, hex: the program's dialogs and message boxes.
#include "Commands.h"
#include "ControlLookup.h"
#include "WindowQuery.h"

#include <cstdio>
#include <iterator>

namespace {

constexpr long DefaultWindowTimeoutMs = 10000;

bool Window(Session& session, const Invocation& invocation)
{
    long timeout = DefaultWindowTimeoutMs;
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
    ::WaitForInputIdle(program->process.get(), 5000);
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

// Posted, never sent: the click may open another modal window, whose loop must not wait for us.
bool Click(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("click needs a control id");
    }
    HWND window = CurrentWindow(session);
    if (!window) {
        return false;
    }
    HWND control = ControlOf(session, invocation.words[1], true);
    if (!control) {
        return false;
    }
    const int id = ::GetDlgCtrlID(control);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return true;
}

struct KeyName {
    const char* name;
    UINT key;
};

constexpr KeyName KeyNames[] = {
    {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE}, {"tab", VK_TAB},
    {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},   {"right", VK_RIGHT},
    {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT}, {"home", VK_HOME},   {"end", VK_END},
};

bool KeyOf(const std::string& text, UINT& key)
{
    for (const KeyName& known : KeyNames) {
        if (text == known.name) {
            key = known.key;
            return true;
        }
    }
    long number = 0;
    if (ParseNumber(text, number) && number > 0 && number < 256) {
        key = static_cast<UINT>(number);
        return true;
    }
    return false;
}

// A key press (down and up) to the given control, else to the window's focus, else the window.
bool Key(Session& session, const Invocation& invocation)
{
    UINT key = 0;
    if (invocation.words.size() < 2 || invocation.words.size() > 3 || !KeyOf(invocation.words[1], key)) {
        return session.Fail("key needs a key name or virtual-key code, and optionally a control id");
    }
    HWND window = CurrentWindow(session);
    if (!window) {
        return false;
    }
    HWND target = window;
    if (invocation.words.size() == 3) {
        target = ControlOf(session, invocation.words[2], true);
        if (!target) {
            return false;
        }
    } else {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
            target = info.hwndFocus;
        }
    }
    const UINT scan = ::MapVirtualKeyA(key, 0);
    ::PostMessageA(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
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

} // namespace

std::vector<Command> WindowCommands()
{
    return {{"window", Window}, {"controls", Controls}, {"click", Click}, {"key", Key}, {"hex", HexMode}};
}
