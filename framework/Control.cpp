#include "framework/Control.h"

namespace fw {

namespace {

// The bound object and the procedure it replaced, kept on the window itself so that the
// subclass procedure can always pass messages on.
constexpr char ObjectProperty[] = "fw.Control";
constexpr char PreviousProcProperty[] = "fw.Control.Proc";

} // namespace

Control::~Control()
{
    Detach();
}

bool Control::Attach(HWND window)
{
    if (!window || hwnd || FromHandle(window)) {
        return false;
    }
    const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!::SetPropA(window, ObjectProperty, this) ||
        !::SetPropA(window, PreviousProcProperty, reinterpret_cast<HANDLE>(previous))) {
        ::RemovePropA(window, ObjectProperty);
        return false;
    }
    hwnd = window;
    previousProc = previous;
    // A wide procedure keeps the control a Unicode window: through an ANSI one the system would
    // pass its texts (WM_SETTEXT, WM_GETTEXT) through the system's code page and lose them.
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProc));
    return true;
}

void Control::Detach()
{
    if (!hwnd) {
        return;
    }
    // Only unhook when nobody subclassed on top of us; otherwise the procedure stays in the
    // chain and passes everything on through the stored previous procedure.
    if (::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Control::SubclassProc)) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
        ::RemovePropA(hwnd, PreviousProcProperty);
    }
    ::RemovePropA(hwnd, ObjectProperty);
    hwnd = nullptr;
    previousProc = nullptr;
}

Control* Control::FromHandle(HWND window)
{
    return window ? static_cast<Control*>(::GetPropA(window, ObjectProperty)) : nullptr;
}

bool Control::OnReflectedCommand(int)
{
    return false;
}

HBRUSH Control::OnReflectedCtlColor(HDC, UINT)
{
    return nullptr;
}

int Control::GetScrollLimit(int bar) const
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!hwnd || !::GetScrollInfo(hwnd, bar, &info)) {
        return -1;
    }
    return info.nMax + 1 - static_cast<int>(info.nPage);
}

bool Control::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT Control::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(previousProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto previous = reinterpret_cast<WNDPROC>(::GetPropA(window, PreviousProcProperty));
    Control* self = FromHandle(window);
    if (!self) {
        return previous ? ::CallWindowProcW(previous, window, message, wParam, lParam)
                        : ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        self->Detach();
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    }
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnMessage(message, wParam, lParam, result);
    } catch (...) {
        // No C++ exception may unwind through the window manager.
        handled = false;
    }
    return handled ? result : ::CallWindowProcW(previous, window, message, wParam, lParam);
}

} // namespace fw
