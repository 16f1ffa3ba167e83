#include "app/FirewallSetupApp.h"
#include "framework/DllSearch.h"

#include <iterator>
#include <windows.h>

namespace {

FirewallSetupApp theApp;

// System DLLs that are no Known DLLs and that the system's own code loads by name in this
// program's process (the visual styles, version resources, the desktop compositor, COM's
// catalogue, accessibility, the shell's helpers, alpha blending): loaded from the system folder
// first, so that no later load by name can take one from the program's folder.
const wchar_t* const LaterLoadedDlls[] = {
    L"uxtheme.dll", L"version.dll", L"dwmapi.dll", L"cryptbase.dll", L"oleacc.dll", L"clbcatq.dll",
    L"userenv.dll", L"setupapi.dll", L"apphelp.dll", L"propsys.dll", L"msimg32.dll",
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything else of the run loads a DLL: the program runs as administrator, from
    // wherever a deployer put it.
    fw::LoadDllsFromSystemFolder(LaterLoadedDlls, std::size(LaterLoadedDlls));
    return theApp.Main();
}
