#include "app/FirewallSetupApp.h"

#include "app/FirewallTask.h"
#include "app/InstanceEvent.h"
#include "app/ResultMessages.h"
#include "app/SetupCommandLine.h"

#include <commctrl.h>

bool FirewallSetupApp::InitInstance()
{
    // Registers the common control classes the dialogs use, the list view among them.
    ::InitCommonControls();

    if (CreateInstanceEvent(instanceEvent) == 1) {
        exitCode = Result::AnotherInstance;
        return false;
    }

    SetupCommandLine commandLine;
    ParseCommandLine(commandLine);
    switch (commandLine.GetRunMode()) {
    case RunMode::Remove:
        exitCode = RunRemoveMode();
        break;
    case RunMode::Silent:
        exitCode = RunSilentMode();
        break;
    default:
        exitCode = RunSetupMode();
        break;
    }
    return false;
}

int FirewallSetupApp::ExitInstance()
{
    instanceEvent.reset();
    fw::App::ExitInstance();
    return exitCode;
}

// The intro dialog (before the failed precheck is reported) and the agreement dialog, which
// starts the worker, belong between these steps; until then the precheck decides alone.
ResultCode FirewallSetupApp::RunSetupMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Setup);
    if (code != Result::Success) {
        ShowErrorMessage(RunMode::Setup, code);
    }
    return code;
}

// A failed precheck is reported before any dialog; the port removal dialog, which starts the
// worker, follows it.
ResultCode FirewallSetupApp::RunRemoveMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Remove);
    if (code != Result::Success) {
        ShowErrorMessage(RunMode::Remove, code);
    }
    return code;
}

ResultCode FirewallSetupApp::RunSilentMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Setup);
    if (code != Result::Success) {
        return code;
    }
    task.Start(nullptr, RunMode::Setup);
    task.Wait();
    return task.GetResult();
}
