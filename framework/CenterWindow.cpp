#include "framework/CenterWindow.h"

#include <algorithm>

namespace fw {

bool CenterOnWorkArea(HWND window)
{
    RECT frame = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetWindowRect(window, &frame) ||
        !::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return false;
    }
    const RECT& work = monitor.rcWork;
    const LONG x = work.left + std::max(0L, (work.right - work.left - (frame.right - frame.left)) / 2);
    const LONG y = work.top + std::max(0L, (work.bottom - work.top - (frame.bottom - frame.top)) / 2);
    return ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

} // namespace fw
