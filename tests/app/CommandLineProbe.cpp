#include "app/SetupCommandLine.h"
#include "framework/App.h"

namespace {

class ProbeApp : public fw::App {
protected:
    bool InitInstance() override
    {
        SetupCommandLine commandLine;
        ParseCommandLine(commandLine);
        mode = commandLine.GetRunMode();
        return false;
    }
    int ExitInstance() override { return static_cast<int>(mode); }

private:
    RunMode mode = RunMode::Setup;
};

} // namespace

int main()
{
    ProbeApp app;
    return app.Main();
}
