#pragma once

#include "task/RunMode.h"
#include "firewall/MonitorPortConfig.h"
#include "framework/Handles.h"

#include <atomic>
#include <windows.h>

// Posted by the worker to the dialog that started it; wParam and lParam are 0.
constexpr UINT WM_FIREWALL_TASK_BEGIN = WM_USER + 1;
constexpr UINT WM_FIREWALL_TASK_END = WM_USER + 2;

// The run's task: checks the preconditions on the user-interface thread, then runs the
// firewall change on one worker thread and keeps the outcome.
class FirewallTask {
public:
    FirewallTask() = default;
    // Waits for a running worker: it uses portConfig and result until it ends.
    virtual ~FirewallTask();
    FirewallTask(const FirewallTask&) = delete;
    FirewallTask& operator=(const FirewallTask&) = delete;

    // mode is RunMode::Setup or RunMode::Remove. Stores the code in the result and returns it.
    ResultCode Precheck(RunMode mode);
    // notifyWindow receives WM_FIREWALL_TASK_BEGIN / _END; null in Silent mode. Starts the
    // worker unless one was started already; the result is 0 until the worker stores its own.
    // Returns false when no worker could be created: no message will come and the result is 6.
    bool Start(HWND notifyWindow, RunMode mode);
    // Returns once the worker has ended; at once when none was started or it has ended.
    void Wait();
    MonitorPortConfig& GetPortConfig() { return portConfig; }

    ResultCode GetResult() const { return result; }
    // True once a worker was started, whether or not it has ended.
    bool HasStarted() const { return static_cast<bool>(workerThread); }
    // True once a worker was started and has ended (its handle is signalled).
    bool HasWorkerEnded() const;

private:
    friend unsigned __stdcall FirewallTaskThreadProc(void* parameter);
    void WorkerMain();
    ResultCode RunSetup();
    ResultCode RunRemoval();

    // Written by the user-interface thread, read by the worker (a second Start may overlap it).
    std::atomic<HWND> notifyWindow{nullptr};
    fw::UniqueHandle workerThread; // the task's own handle, so the end stays observable
    MonitorPortConfig portConfig;
    std::atomic<RunMode> mode{RunMode::Setup};
    std::atomic<ResultCode> result{Result::Success};
};

// Thread entry of the worker; parameter is the FirewallTask. Ends the thread with 0.
unsigned __stdcall FirewallTaskThreadProc(void* parameter);
