// Never run: a program made to fail the import check in every way it knows, so that a test can
// show the check catches them. It asks for the Vista subsystem, calls functions that Windows XP
// lacks (one a known trap, one only in a Vista DLL) and one that XP has but nobody checked.

#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0600
#define _WIN32_WINNT 0x0600

#include <windows.h>

#include <dwmapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BOOL composition = FALSE;
    ::DwmIsCompositionEnabled(&composition);
    ::Beep(440, 10);
    return static_cast<int>(::GetTickCount64() & 1) + composition;
}
