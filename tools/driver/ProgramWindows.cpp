#include "ProgramWindows.h"

#include "Commands.h"

#include <vector>

namespace {

struct Search {
    DWORD processId;
    const std::set<HWND>* reported;
    bool dialogsOnly;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !::IsWindowVisible(window) || search.reported->count(window) != 0) {
        return TRUE;
    }
    if (search.dialogsOnly && ClassNameOf(window) != "#32770") {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

} // namespace

HWND FindNewWindow(DWORD processId, const std::set<HWND>& reported, bool dialogsOnly)
{
    Search search{processId, &reported, dialogsOnly, nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CurrentWindow(Session& session)
{
    Program* program = session.CurrentProgram();
    if (!program) {
        return nullptr;
    }
    if (!program->window || !::IsWindow(program->window)) {
        session.Fail("no window: use `window` first (or the window has closed)");
        return nullptr;
    }
    return program->window;
}

HWND ControlOf(Session& session, const std::string& idText, bool usable)
{
    HWND window = CurrentWindow(session);
    if (!window) {
        return nullptr;
    }
    long id = 0;
    if (!ParseNumber(idText, id)) {
        session.Fail("'" + idText + "' is no control id");
        return nullptr;
    }
    HWND control = ::GetDlgItem(window, static_cast<int>(id));
    if (!control) {
        session.Fail("the window has no control " + idText);
        return nullptr;
    }
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if (usable && (!(style & WS_VISIBLE) || (style & WS_DISABLED))) {
        session.Fail("control " + idText + " is hidden or disabled");
        return nullptr;
    }
    return control;
}

std::wstring WindowTextOf(HWND window)
{
    const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

std::string ClassNameOf(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

bool SendQuick(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, static_cast<UINT>(PatienceMs), &answer)) {
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

void PostKey(HWND target, UINT key, bool alt)
{
    const UINT scan = ::MapVirtualKeyA(key, 0);
    const LPARAM down = static_cast<LPARAM>(1 | (scan << 16) | (alt ? 0x20000000u : 0u));
    ::PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
    ::PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, down | static_cast<LPARAM>(0xC0000000u));
}

void Settle(HWND window)
{
    // A message sent from another thread is only taken when the thread looks at its queue again.
    LRESULT ignored = 0;
    SendQuick(window, WM_NULL, 0, 0, ignored);
}
