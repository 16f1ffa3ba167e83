#include "ui/BusyDialog.h"

#include "framework/CenterWindow.h"

namespace {

constexpr UINT_PTR WatchTimerId = 0x4642;
// How often the dialog looks whether the worker has ended: its end notification may arrive
// while its thread is still finishing.
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

BOOL BusyDialog::OnInitDialog()
{
    fw::CenterOnWorkArea(GetHwnd());
    return fw::Dialog::OnInitDialog();
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
    if (!busy) {
        EndDialog(IDCANCEL);
    }
}

bool BusyDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        return OnSetCursor(result);
    case WM_FIREWALL_TASK_BEGIN:
        if (!IsTaskNotification(wParam, lParam)) {
            break;
        }
        result = OnTaskBegin(wParam, lParam);
        return true;
    case WM_FIREWALL_TASK_END:
        if (!IsTaskNotification(wParam, lParam)) {
            break;
        }
        result = OnTaskEnd(wParam, lParam);
        return true;
    case WM_TIMER:
        if (wParam != WatchTimerId || !started) {
            break;
        }
        if (task->HasWorkerEnded()) {
            FinishTask();
        }
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
    EnterBusy(IDOK);
    return 1;
}

LRESULT BusyDialog::OnTaskEnd(WPARAM, LPARAM)
{
    // The worker posts its end as its last act, so its thread may still be finishing; the
    // watch timer then closes the dialog a moment later. Without the timer, FinishTask waits
    // for those last moments.
    if (task->HasWorkerEnded() || !watching) {
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
    if (task->Start(GetHwnd(), mode)) {
        watching = ::SetTimer(GetHwnd(), WatchTimerId, WatchIntervalMs, nullptr) != 0;
    } else {
        FinishTask(); // no worker: the step is over and the task's result holds the failure
    }
}

// The worker's two messages have the numbers of the dialog manager's DM_SETDEFID and
// DM_REPOSITION, which any dialog may be sent and DefDlgProc must still handle; taken for the
// worker's, one would make the dialog busy or end it. So only one with wParam and lParam 0, after
// this dialog started the worker, is the worker's.
bool BusyDialog::IsTaskNotification(WPARAM wParam, LPARAM lParam) const
{
    return started && wParam == 0 && lParam == 0;
}

void BusyDialog::FinishTask()
{
    if (watching) {
        ::KillTimer(GetHwnd(), WatchTimerId);
        watching = false;
    }
    task->Wait();
    LeaveBusy();
    EndDialog(IDOK);
}
