// NODLLDIR.dll: stands in for kernel32 in the seam copy of FirewallSetup.exe. Its .def forwards
// every other function the program imports to kernel32 unchanged.
#include <windows.h>

#include <cstdint>

// GetProcAddress as Windows XP, and Vista and 7 without the update that added it, answer for
// SetDefaultDllDirectories: no such function. Every other name goes to the real one.
extern "C" FARPROC WINAPI NoDllDirsGetProcAddress(HMODULE module, LPCSTR name)
{
    const bool byName = reinterpret_cast<uintptr_t>(name) > 0xFFFF;
    if (byName && ::lstrcmpA(name, "SetDefaultDllDirectories") == 0) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return ::GetProcAddress(module, name);
}
