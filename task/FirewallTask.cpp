#include "task/FirewallTask.h"

#include "task/Administrator.h"
#include "firewall/MonitorKey.h"

#include <process.h>

namespace {

// Only the key's existence is tested: it is closed again at once.
bool IsMonitorInstalled()
{
    fw::UniqueRegKey key;
    return ::RegOpenKeyExA(MonitorKeyRoot, MonitorKeyPath, 0, KEY_QUERY_VALUE | MonitorKeyView, key.put()) ==
           ERROR_SUCCESS;
}

ResultCode ResultOfStatus(ConfigStatus status)
{
    switch (status) {
    case ConfigStatus::NothingToDo:
        return Result::NothingToDo;
    case ConfigStatus::StatusFailed:
        return Result::FirewallFailed;
    default:
        return Result::Success;
    }
}

} // namespace

FirewallTask::~FirewallTask()
{
    Wait();
}

ResultCode FirewallTask::Precheck(RunMode checkMode)
{
    const bool removal = checkMode == RunMode::Remove;
    if (!removal) {
        // The outcome does not matter: 58140 applies when the value cannot be read.
        portConfig.ReadPortNumber();
    }
    ResultCode code;
    const int firewall = portConfig.IsFirewallAvailable();
    if (firewall == 0) {
        code = Result::FirewallUnavailable;
    } else if (!IsAdministrator()) {
        code = Result::NotAdministrator;
    } else if (firewall < 0) {
        // The firewall is there but refuses even an administrator: nothing can be read or changed.
        code = Result::FirewallFailed;
    } else if (!removal && !IsMonitorInstalled()) {
        code = Result::MonitorNotInstalled;
    } else {
        code = ResultOfStatus(removal ? portConfig.QueryRemovalStatus() : portConfig.QueryConfigStatus());
    }
    result = code;
    return code;
}

bool FirewallTask::Start(HWND window, RunMode runMode)
{
    notifyWindow = window;
    mode = runMode;
    result = Result::Success;
    if (!workerThread) {
        // _beginthreadex sets up the C runtime for the thread; 0 means no thread was created.
        workerThread.reset(reinterpret_cast<HANDLE>(
            ::_beginthreadex(nullptr, 0, FirewallTaskThreadProc, this, 0, nullptr)));
        if (!workerThread) {
            // The firewall stays unchanged, and the run must not end as a success.
            result = Result::FirewallFailed;
            return false;
        }
    }
    return true;
}

void FirewallTask::Wait()
{
    if (workerThread) {
        ::WaitForSingleObject(workerThread.get(), INFINITE);
    }
}

bool FirewallTask::HasWorkerEnded() const
{
    return workerThread && ::WaitForSingleObject(workerThread.get(), 0) == WAIT_OBJECT_0;
}

void FirewallTask::WorkerMain()
{
    if (HWND window = notifyWindow) {
        ::PostMessageA(window, WM_FIREWALL_TASK_BEGIN, 0, 0);
    }
    result = mode == RunMode::Setup ? RunSetup() : RunRemoval();
    // A second Start may have named another window meanwhile.
    if (HWND window = notifyWindow) {
        ::PostMessageA(window, WM_FIREWALL_TASK_END, 0, 0);
    }
}

ResultCode FirewallTask::RunSetup()
{
    int32_t port = 0;
    portConfig.GetPortNumber(port);
    return portConfig.SetUpMonitorPort(port) != 0 ? Result::FirewallFailed : Result::Success;
}

ResultCode FirewallTask::RunRemoval()
{
    return portConfig.RemoveMonitorPorts() != 0 ? Result::FirewallFailed : Result::Success;
}

unsigned __stdcall FirewallTaskThreadProc(void* parameter)
{
    static_cast<FirewallTask*>(parameter)->WorkerMain();
    return 0;
}
