#include "framework/Dialog.h"

#include "framework/Control.h"
#include "framework/DataExchange.h"

namespace fw {

namespace {

// Messages whose dialog-procedure return value is the result itself, not a handled flag.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

bool IsChildColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && message != WM_CTLCOLORDLG;
}

struct ChildMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK SendToChild(HWND child, LPARAM parameter)
{
    const auto* m = reinterpret_cast<const ChildMessage*>(parameter);
    ::SendMessageA(child, m->message, m->wParam, m->lParam);
    return TRUE;
}

} // namespace

Dialog::Dialog(UINT templateId_, HWND parent_) : templateId(templateId_), parent(parent_) {}

Dialog::~Dialog()
{
    if (hwnd) {
        ::DestroyWindow(hwnd);
    }
}

INT_PTR Dialog::DoModal()
{
    if (hwnd) {
        return -1;
    }
    // The owner is the parent's top-level window, never the desktop.
    HWND owner = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    ended = false;
    endResult = -1;
    // The owner takes no input from the moment the dialog can be seen (its template may make it
    // visible at creation).
    const bool disabledOwner = owner && ::IsWindowEnabled(owner) && !::EnableWindow(owner, FALSE);
    // A Unicode dialog: its controls get the template's texts as they are, not through the
    // system's code page.
    HWND window = ::CreateDialogParamW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(templateId), owner,
                                       &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        if (disabledOwner) {
            ::EnableWindow(owner, TRUE);
        }
        return -1;
    }
    if (!ended && !::IsWindowVisible(window)) {
        ::ShowWindow(window, SW_SHOWNORMAL);
    }

    MSG msg;
    while (!ended && ::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            break;
        }
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // The controls send their notifications and colour requests; posted, one comes from
        // elsewhere with pointers and handles that nothing vouches for.
        if (msg.message == WM_NOTIFY || IsChildColorMessage(msg.message)) {
            continue;
        }
        if (IsOwnWindow(msg.hwnd) && PreTranslateMessage(&msg)) {
            continue;
        }
        if (!::IsDialogMessageW(window, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    // The owner gets the activation back only if it is enabled when the dialog goes away.
    if (disabledOwner) {
        ::EnableWindow(owner, TRUE);
    }
    if (::IsWindow(window)) {
        ::DestroyWindow(window);
    }
    return ended ? endResult : -1;
}

void Dialog::EndDialog(INT_PTR result)
{
    if (ended) {
        return;
    }
    ended = true;
    endResult = result;
    // Wakes the loop also when this runs inside another loop (a message box, a window move).
    if (hwnd) {
        ::PostMessageA(hwnd, WM_NULL, 0, 0);
    }
}

bool Dialog::UpdateData(bool save)
{
    DataExchange exchange(hwnd, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND: {
        const auto control = reinterpret_cast<HWND>(lParam);
        // A command names the control it comes from; one that names a window that is not one
        // of this dialog's own (another process's, whose properties it chose) is no command.
        if (control && !IsOwnControl(control)) {
            return false;
        }
        if (Control* bound = Control::FromHandle(control)) {
            if (bound->OnReflectedCommand(HIWORD(wParam))) {
                result = 0;
                return true;
            }
        }
        if (OnCommand(HIWORD(wParam), LOWORD(wParam), control)) {
            result = 0;
            return true;
        }
        return false;
    }
    case WM_NOTIFY: {
        // The controls notify from this thread; a notification sent from another thread or
        // process carries a pointer that nothing vouches for.
        if (::InSendMessage()) {
            return false;
        }
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        return header && IsOwnControl(header->hwndFrom) && OnNotify(static_cast<int>(header->idFrom), header, result);
    }
    case WM_SYSCOLORCHANGE:
        // Only top-level windows are told; the controls follow their dialog.
        PassToChildren(message, wParam, lParam);
        return false;
    default:
        break;
    }
    if (IsChildColorMessage(message) && IsOwnControl(reinterpret_cast<HWND>(lParam))) {
        if (Control* bound = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = bound->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam), message)) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
    }
    return false;
}

BOOL Dialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

bool Dialog::OnCommand(int notifyCode, int id, HWND)
{
    if (notifyCode != BN_CLICKED) {
        return false;
    }
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnNotify(int, NMHDR*, LRESULT&)
{
    return false;
}

void Dialog::OnOK()
{
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL Dialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void Dialog::DoDataExchange(DataExchange&) {}

LRESULT Dialog::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    // DefDlgProc first asks the dialog procedure; it declines this one call, so the dialog
    // manager's own processing runs.
    const UINT outer = defaultMessage;
    defaultMessage = message;
    const LRESULT result = ::DefDlgProcW(hwnd, message, wParam, lParam);
    defaultMessage = outer;
    return result;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->hwnd = window;
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    if (self->defaultMessage != 0 && self->defaultMessage == message) {
        self->defaultMessage = 0;
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        return FALSE;
    }

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnMessage(message, wParam, lParam, result);
    } catch (...) {
        // No C++ exception may unwind through the dialog manager; the dialog cannot go on.
        self->EndDialog(-1);
        handled = false;
    }
    if (!handled) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Dialog::IsOwnWindow(HWND window) const
{
    return window && hwnd && (window == hwnd || ::IsChild(hwnd, window));
}

bool Dialog::IsOwnControl(HWND window) const
{
    // A window of another process can be made a child of this dialog; only this thread's count.
    return window && hwnd && ::IsChild(hwnd, window) && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

void Dialog::PassToChildren(UINT message, WPARAM wParam, LPARAM lParam) const
{
    ChildMessage m{message, wParam, lParam};
    ::EnumChildWindows(hwnd, &SendToChild, reinterpret_cast<LPARAM>(&m));
}

} // namespace fw
