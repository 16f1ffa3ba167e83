#include "framework/App.h"

#include <cstdlib>
#include <windows.h>

namespace fw {

int App::Main()
{
    if (InitInstance()) {
        MSG msg{};
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        quitCode = static_cast<int>(msg.wParam);
    }
    return ExitInstance();
}

int App::ExitInstance()
{
    return quitCode;
}

void App::ParseCommandLine(CommandLineInfo& info)
{
    info.ParseArguments(__argc, __argv);
}

} // namespace fw
