#include "ControlLookup.h"

#include "Commands.h"

namespace {


} // namespace

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

bool SendQuick(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, static_cast<UINT>(PatienceMs), &answer)) {
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

void Settle(HWND window)
{
    // A message sent from another thread is only taken when the thread looks at its queue again.
    LRESULT ignored = 0;
    SendQuick(window, WM_NULL, 0, 0, ignored);
}
