// NOTIMR.dll: stands in for user32 in the seam copy of FirewallSetup.exe. Its .def forwards
// every other function the program imports to user32 unchanged.
#include <windows.h>

// SetTimer as the system answers when it has no timer left to give: 0.
extern "C" UINT_PTR WINAPI NoTimerSetTimer(HWND, UINT_PTR, UINT, TIMERPROC)
{
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}
