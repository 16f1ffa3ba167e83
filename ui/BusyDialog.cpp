#include "ui/BusyDialog.h"

namespace {

constexpr UINT_PTR WatchTimerId = 0x4642;
// How often the dialog looks whether the worker has ended or, before its begin notification,
// whether there is a worker at all. Timer messages come only when no posted message waits, so
// a posted notification is always handled first.
constexpr UINT WatchIntervalMs = 100;

void SetSystemCursor(LPCSTR id)
{
    ::SetCursor(::LoadCursorA(nullptr, id));
}

} // namespace

BusyDialog::BusyDialog(UINT templateId, HWND parent) : fw::Dialog(templateId, parent) {}

BusyDialog::~BusyDialog() = default;

void BusyDialog::EnterBusy(int buttonId)
{
    busy = 1;
    busyButtonId = buttonId;
    SetSystemCursor(IDC_WAIT);
    if (buttonId != 0) {
        if (HWND button = GetItem(buttonId)) {
            ::SendMessageA(button, BM_SETSTATE, TRUE, 0);
        }
    }
}

void BusyDialog::LeaveBusy()
{
    SetSystemCursor(IDC_ARROW);
    if (busyButtonId != 0) {
        if (HWND button = GetItem(busyButtonId)) {
            ::SendMessageA(button, BM_SETSTATE, FALSE, 0);
        }
    }
    busy = 0;
    busyButtonId = 0;
}

void BusyDialog::DoDataExchange(fw::DataExchange&) {}

BOOL BusyDialog::PreTranslateMessage(MSG* message)
{
    if (busy) {
        switch (message->message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            return TRUE;
        default:
            break;
        }
    }
    return fw::Dialog::PreTranslateMessage(message);
}

void BusyDialog::OnOK() {}

void BusyDialog::OnCancel()
{
    if (busy) {
        return;
    }
    if (started && task) {
        // The worker never announced itself. If there is one after all, the dialog may only
        // end once it has; it then ran to its end, and the runner reports its result.
        task->Wait();
        EndDialog(task->HasWorkerEnded() ? IDOK : IDCANCEL);
        return;
    }
    EndDialog(IDCANCEL);
}

bool BusyDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        return OnSetCursor(result);
    case WM_FIREWALL_TASK_BEGIN:
        if (!IsTaskNotification(wParam, lParam)) {
            break; // DM_SETDEFID
        }
        result = OnTaskBegin(wParam, lParam);
        return true;
    case WM_FIREWALL_TASK_END:
        if (!IsTaskNotification(wParam, lParam)) {
            break; // DM_REPOSITION
        }
        result = OnTaskEnd(wParam, lParam);
        return true;
    case WM_TIMER:
        if (wParam != WatchTimerId || !started) {
            break;
        }
        OnWatchTimer();
        result = 0;
        return true;
    default:
        break;
    }
    return fw::Dialog::OnMessage(message, wParam, lParam, result);
}

bool BusyDialog::OnSetCursor(LRESULT& result)
{
    if (!busy) {
        return false;
    }
    SetSystemCursor(IDC_WAIT);
    if (busyButtonId != 0) {
        if (HWND button = GetItem(busyButtonId)) {
            ::SendMessageA(button, BM_SETSTATE, TRUE, 0);
        }
    }
    result = TRUE;
    return true;
}

LRESULT BusyDialog::OnTaskBegin(WPARAM, LPARAM)
{
    begun = true;
    EnterBusy(IDOK);
    return 1;
}

LRESULT BusyDialog::OnTaskEnd(WPARAM, LPARAM)
{
    // The worker posts its end as its last act, so its thread may still be finishing; the
    // watch timer then closes the dialog a moment later.
    if (task->HasWorkerEnded()) {
        FinishTask();
    }
    return 1;
}

void BusyDialog::Start(RunMode mode)
{
    // One start per dialog: a second OK, or one while busy, changes nothing.
    if (!task || started) {
        return;
    }
    started = true;
    // Busy from the request on: a Cancel before the worker's begin notification must not end
    // the dialog while the worker may run.
    EnterBusy(IDOK);
    task->Start(GetHwnd(), mode);
    ::SetTimer(GetHwnd(), WatchTimerId, WatchIntervalMs, nullptr);
}

bool BusyDialog::IsTaskNotification(WPARAM wParam, LPARAM lParam) const
{
    return started && wParam == 0 && lParam == 0;
}

void BusyDialog::OnWatchTimer()
{
    if (task->HasWorkerEnded()) {
        FinishTask();
    } else if (!begun && busy) {
        // No begin notification although every posted message has been handled: the worker
        // could not be created (or has not run yet). Let the user cancel; OnCancel waits for
        // a worker that turns up late.
        LeaveBusy();
    }
}

void BusyDialog::FinishTask()
{
    ::KillTimer(GetHwnd(), WatchTimerId);
    task->Wait();
    LeaveBusy();
    EndDialog(IDOK);
}
