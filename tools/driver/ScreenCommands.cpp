// rect, workarea: where a window or control is on the screen, and the part of the screen that
// windows are placed in.
#include "Commands.h"
#include "ProgramWindows.h"

#include <cstdio>

namespace {

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

} // namespace

std::vector<Command> ScreenCommands()
{
    return {{"rect", Rect}, {"workarea", WorkArea}};
}
