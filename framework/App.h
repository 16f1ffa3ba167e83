#pragma once

#include "framework/CommandLineInfo.h"

namespace fw {

// The application object. The program's WinMain returns Main() of its one global instance.
class App {
public:
    App() = default;
    virtual ~App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // InitInstance; when it succeeds, the message loop until WM_QUIT; then ExitInstance,
    // whose value is returned as the process exit code. A failed InitInstance runs no loop.
    int Main();

protected:
    virtual bool InitInstance() = 0;
    // The base returns the exit code of the WM_QUIT that ended the loop (0 without a loop).
    virtual int ExitInstance();

    // Hands the arguments, as the C runtime split the command line, to info.
    static void ParseCommandLine(CommandLineInfo& info);

private:
    int quitCode = 0;
};

} // namespace fw
