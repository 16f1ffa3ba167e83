#pragma once

#include "task/FirewallTask.h"
#include "framework/Dialog.h"

#include <windows.h>

// Base of the wizard's dialogs: holds the run's task, starts its worker and is busy while the
// worker runs (wait cursor, OK held pushed, keys and left clicks dropped, Cancel ignored).
// When the worker has ended the dialog closes with IDOK, whatever the task's result; so it does
// at once when no worker could be created, the task's result then holding the failure.
// The end counts only once the task reports that its worker has ended; a timer watches for that,
// so an end that arrives just before the thread is gone is not lost. Without the timer (the
// system had none to give) the end notification waits for the thread, which ends right after.
class BusyDialog : public fw::Dialog {
public:
    BusyDialog(UINT templateId, HWND parent);
    ~BusyDialog() override;

    // The run's task, not owned; set before DoModal.
    void SetTask(FirewallTask* runTask) { task = runTask; }
    void StartSetup() { Start(RunMode::Setup); }
    void StartRemoval() { Start(RunMode::Remove); }

    void EnterBusy(int buttonId);
    void LeaveBusy();
    // The worker was requested: from then on the dialog ends only through the task's end.
    bool HasStarted() const { return started; }

protected:
    // Centres the dialog on its screen's work area before it is shown, then the base's.
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& exchange) override;
    BOOL PreTranslateMessage(MSG* message) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool OnSetCursor(LRESULT& result);
    LRESULT OnTaskBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskEnd(WPARAM wParam, LPARAM lParam);

    FirewallTask* task = nullptr;
    int busy = 0;
    int busyButtonId = 0;

private:
    void Start(RunMode mode);
    bool IsTaskNotification(WPARAM wParam, LPARAM lParam) const;
    void FinishTask();

    bool started = false;  // the worker was requested; the task must outlive the dialog's end
    bool watching = false; // the watch timer runs
};
