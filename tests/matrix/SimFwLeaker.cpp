// Child process of the leak report test: makes firewall managers through COM, then
//   simfw_leaker release N   releases them all and ends its COM use;
//   simfw_leaker exit N      keeps them and ends with COM still in use (the process end
//                            detaches simfw.dll);
//   simfw_leaker unload N    keeps them and ends its COM use (COM may then free simfw.dll).
// Exit code 0 when the managers were made, 2 for a usage error, 3 when COM or simfw failed.

#include "framework/Com.h"

#include <netfw.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) {
        return 2;
    }
    const char* mode = argv[1];
    const int count = std::atoi(argv[2]);
    const bool release = std::strcmp(mode, "release") == 0;
    const bool keepCom = std::strcmp(mode, "exit") == 0;
    if (!release && !keepCom && std::strcmp(mode, "unload") != 0) {
        return 2;
    }
    if (FAILED(::CoInitialize(nullptr))) {
        return 3;
    }
    for (int i = 0; i < count; ++i) {
        if (release) {
            fw::ComPtr<INetFwMgr> manager;
            if (FAILED(fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager))) {
                return 3;
            }
            continue;
        }
        // Deliberately never released: this is the leak under test.
        INetFwMgr* leaked = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_NetFwMgr, nullptr, CLSCTX_INPROC_SERVER, IID_INetFwMgr,
                                      reinterpret_cast<void**>(&leaked)))) {
            return 3;
        }
    }
    if (!keepCom) {
        ::CoUninitialize();
    }
    return 0;
}
