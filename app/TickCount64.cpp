// The static winpthread library that the C++ runtime brings along calls GetTickCount64 (to
// time its bounded waits), which Windows XP and Server 2003 lack: with kernel32's import the
// loader there refuses the whole program. Defining the import slot here keeps kernel32's out
// of the link, so the program imports no GetTickCount64 and uses the system's only where the
// system has one.

#include "framework/SystemFunction.h"

#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

// Milliseconds from the performance counter, split so that no product overflows.
ULONGLONG PerformanceCounterMilliseconds()
{
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER counter = {};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&counter)) {
        return ::GetTickCount();
    }
    const ULONGLONG ticks = static_cast<ULONGLONG>(counter.QuadPart);
    const ULONGLONG perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

ULONGLONG WINAPI TickCount64()
{
    const auto system = fw::SystemFunction<TickCount64Function>("kernel32.dll", "GetTickCount64");
    return system ? system() : PerformanceCounterMilliseconds();
}

} // namespace

// The slot's name as the import library spells it: decorated on x86, plain on x64.
#if defined(__i386__)
extern "C" TickCount64Function TickCount64Slot __asm__("__imp__GetTickCount64@0");
#else
extern "C" TickCount64Function TickCount64Slot __asm__("__imp_GetTickCount64");
#endif
TickCount64Function TickCount64Slot = &TickCount64;
