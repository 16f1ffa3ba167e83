#include "app/FirewallSetupApp.h"

#include "task/FirewallTask.h"
#include "app/InstanceEvent.h"
#include "app/ResultMessages.h"
#include "app/SetupCommandLine.h"
#include "framework/CommonControls.h"
#include "ui/AgreementDialog.h"
#include "ui/IntroDialog.h"
#include "ui/PortRemovalDialog.h"

#include <commctrl.h>

bool FirewallSetupApp::InitInstance()
{
    // The list view of the removal dialog; the other controls of Common Controls 6.0 come with
    // the manifest's binding.
    fw::LoadCommonControls(ICC_LISTVIEW_CLASSES);

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

namespace {

// The outcome of a started task, shown as its message: the worker's, or 6 when none could be
// created.
ResultCode ReportWorkerResult(RunMode mode, ResultCode result)
{
    if (result == Result::Success) {
        ShowSuccessMessage(mode);
    } else {
        ShowErrorMessage(mode, result);
    }
    return result;
}

} // namespace

// The intro comes first whatever the precheck found; its verdict is shown only after Next.
ResultCode FirewallSetupApp::RunSetupMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Setup);

    IntroDialog intro(nullptr);
    intro.SetTask(&task);
    if (intro.DoModal() != IDOK) {
        return Result::Success;
    }
    if (code != Result::Success) {
        ShowErrorMessage(RunMode::Setup, code);
        return code;
    }

    AgreementDialog agreement(nullptr);
    agreement.SetTask(&task);
    if (agreement.DoModal() != IDOK) {
        return Result::Success;
    }
    return ReportWorkerResult(RunMode::Setup, task.GetResult());
}

// A failed precheck is reported before any dialog.
ResultCode FirewallSetupApp::RunRemoveMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Remove);
    if (code != Result::Success) {
        ShowErrorMessage(RunMode::Remove, code);
        return code;
    }

    PortRemovalDialog removal(nullptr);
    removal.SetTask(&task);
    const INT_PTR choice = removal.DoModal();
    if (choice == PortRemovalDialog::FillFailed) {
        ShowErrorMessage(RunMode::Remove, Result::FirewallFailed);
        return Result::FirewallFailed;
    }
    if (choice != IDOK) {
        return Result::Success;
    }
    return ReportWorkerResult(RunMode::Remove, task.GetResult());
}

ResultCode FirewallSetupApp::RunSilentMode()
{
    FirewallTask task;
    const ResultCode code = task.Precheck(RunMode::Setup);
    if (code != Result::Success) {
        return code;
    }
    task.Start(nullptr, RunMode::Setup); // without a worker the result is 6 and Wait returns at once
    task.Wait();
    return task.GetResult();
}
