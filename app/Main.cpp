#include "app/FirewallSetupApp.h"

#include <windows.h>

namespace {
FirewallSetupApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return theApp.Main();
}
