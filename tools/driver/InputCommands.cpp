// click, press, key: what a user does with the mouse on a button and with the keyboard.
#include "Commands.h"
#include "ProgramWindows.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace {

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

// press ID: posts BM_CLICK to the button, which presses and releases itself: an automatic radio
// button or check box changes its check state, and the button tells the dialog (BN_CLICKED).
// `click` only tells the dialog, so it leaves a radio button unchecked. Posted, as the click may
// open another modal window. Fails when the button is hidden or disabled.
bool Press(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("press needs a control id");
    }
    HWND button = ControlOf(session, invocation.words[1], true);
    if (!button) {
        return false;
    }
    ::PostMessageA(button, BM_CLICK, 0, 0);
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
    if (text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0]))) {
        key = static_cast<UINT>(std::toupper(static_cast<unsigned char>(text[0])));
        return true;
    }
    long number = 0;
    if (ParseNumber(text, number) && number > 0 && number < 256) {
        key = static_cast<UINT>(number);
        return true;
    }
    return false;
}

struct KeyPress {
    UINT key = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// [ctrl+][shift+][alt+]NAME, the modifiers in any order.
bool KeyPressOf(std::string text, KeyPress& press)
{
    const std::pair<const char*, bool KeyPress::*> modifiers[] = {
        {"ctrl+", &KeyPress::ctrl}, {"shift+", &KeyPress::shift}, {"alt+", &KeyPress::alt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& modifier : modifiers) {
            const std::string prefix = modifier.first;
            if (text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0) {
                press.*modifier.second = true;
                text.erase(0, prefix.size());
                found = true;
            }
        }
    }
    return KeyOf(text, press.key);
}

// The driver's thread sharing the input state of another thread (its focus, its keyboard
// state) until the object ends, when the keyboard state read at the start is put back.
class SharedInput {
public:
    explicit SharedInput(DWORD thread) : thread(thread)
    {
        MSG ignored;
        ::PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE); // the queue AttachThreadInput needs
        attached = ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE) && ::GetKeyboardState(saved);
    }
    ~SharedInput()
    {
        if (attached) {
            ::SetKeyboardState(saved);
            ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
        }
    }
    SharedInput(const SharedInput&) = delete;
    SharedInput& operator=(const SharedInput&) = delete;

    // Holds the press's Ctrl and Shift down in the shared keyboard state.
    bool HoldModifiers(const KeyPress& press)
    {
        BYTE state[256];
        std::copy(std::begin(saved), std::end(saved), state);
        state[VK_CONTROL] |= press.ctrl ? 0x80 : 0;
        state[VK_SHIFT] |= press.shift ? 0x80 : 0;
        return attached && ::SetKeyboardState(state);
    }

private:
    DWORD thread;
    BYTE saved[256] = {};
    bool attached = false;
};

// A key press (down and up) to the given control, else to the window's focus, else the window.
// With Alt it comes as the system keys that TranslateMessage turns into the dialog manager's
// mnemonics. Ctrl and Shift are read from the program's keyboard state, which posted keys do
// not change: the driver holds them down in it and sends the key, so that the state is given
// back only once the key has been handled.
bool Key(Session& session, const Invocation& invocation)
{
    KeyPress press;
    if (invocation.words.size() < 2 || invocation.words.size() > 3 || !KeyPressOf(invocation.words[1], press)) {
        return session.Fail("key needs a key name or virtual-key code with optional ctrl+, shift+ and alt+, "
                            "and optionally a control id");
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
    if (!press.ctrl && !press.shift) {
        PostKey(target, press.key, press.alt);
        return true;
    }
    const UINT scan = ::MapVirtualKeyA(press.key, 0);
    const LPARAM down = static_cast<LPARAM>(1 | (scan << 16) | (press.alt ? 0x20000000u : 0u));
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
    const UINT downMessage = press.alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT upMessage = press.alt ? WM_SYSKEYUP : WM_KEYUP;
    SharedInput input(::GetWindowThreadProcessId(target, nullptr));
    LRESULT ignored = 0;
    if (!input.HoldModifiers(press) || !SendQuick(target, downMessage, press.key, down, ignored) ||
        !SendQuick(target, upMessage, press.key, up, ignored)) {
        return session.Fail("the program did not take the key");
    }
    return true;
}

} // namespace

std::vector<Command> InputCommands()
{
    return {{"click", Click}, {"press", Press}, {"key", Key}};
}
