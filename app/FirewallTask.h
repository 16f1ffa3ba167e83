#pragma once

#include "app/RunMode.h"
#include "firewall/MonitorPortConfig.h"
#include "framework/Handles.h"

#include <windows.h>

// Posted by the worker to the dialog that started it; wParam and lParam are 0.
constexpr UINT WM_FIREWALL_TASK_BEGIN = WM_USER + 1;
constexpr UINT WM_FIREWALL_TASK_END = WM_USER + 2;

// The run's task: checks the preconditions on the user-interface thread, then runs the
// firewall change on one worker thread and keeps the outcome.
class FirewallTask {
public:
    FirewallTask() = default;
    virtual ~FirewallTask();
    FirewallTask(const FirewallTask&) = delete;
    FirewallTask& operator=(const FirewallTask&) = delete;

    ResultCode Precheck(RunMode mode);
    // notifyWindow receives WM_FIREWALL_TASK_BEGIN / _END; null in Silent mode.
    void Start(HWND notifyWindow, RunMode mode);
    void Wait();
    MonitorPortConfig& GetPortConfig() { return portConfig; }

    ResultCode GetResult() const { return result; }
    // True once a worker was started and has ended (its handle is signalled).
    bool HasWorkerEnded() const;

private:
    friend unsigned __stdcall FirewallTaskThreadProc(void* parameter);
    void WorkerMain();
    ResultCode RunSetup();
    ResultCode RunRemoval();

    HWND notifyWindow = nullptr;
    fw::UniqueHandle workerThread; // the task's own handle, so the end stays observable
    MonitorPortConfig portConfig;
    RunMode mode = RunMode::Setup;
    ResultCode result = Result::Success;
};

unsigned __stdcall FirewallTaskThreadProc(void* parameter);
