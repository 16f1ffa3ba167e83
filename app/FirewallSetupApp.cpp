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

// The outcome of a dialog that may start the worker. Ended without it (the user's Cancel), the
// run ends with 0 and no message. Once the worker was started the outcome is the worker's,
// however the dialog ended (a WM_QUIT that ended its loop, a failure): shown as its message
// once the worker has ended, or 6 when none could be created.
ResultCode ReportStep(RunMode mode, FirewallTask& task, INT_PTR choice)
{
    if (choice != IDOK && !task.HasStarted()) {
        return Result::Success;
    }
    task.Wait();
    // A WM_QUIT that ended the dialog's loop is queued again for an outer loop; left there, it
    // would end the message box before anybody could read it.
    MSG quit;
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    const ResultCode result = task.GetResult();
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
    return ReportStep(RunMode::Setup, task, agreement.DoModal());
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
    return ReportStep(RunMode::Remove, task, choice);
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
