// NOTHRD.dll: stands in for msvcrt in the seam copy of FirewallSetup.exe. Its .def forwards
// every other function and variable the program imports to msvcrt unchanged.
#include <cerrno>
#include <cstdint>

// _beginthreadex as the C runtime answers when the system cannot create another thread: no
// thread, 0, and errno EAGAIN.
extern "C" uintptr_t NoThreadBeginThreadEx(void*, unsigned, unsigned(__stdcall*)(void*), void*, unsigned, unsigned*)
{
    errno = EAGAIN;
    return 0;
}
