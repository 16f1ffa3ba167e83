#include "ui/ReadToEndEdit.h"

namespace {

// The keys with which a reader moves the view towards the end of the text. Keys that move
// the view away from the end or only the caret are left out, and so is the control's own
// scrolling (a selection dragged past the edge with the mouse).
bool IsReadingKey(WPARAM key)
{
    return key == VK_NEXT || key == VK_DOWN || (key == VK_END && ::GetKeyState(VK_CONTROL) < 0);
}

} // namespace

ReadToEndEdit::ReadToEndEdit()
    : textColor(::GetSysColor(COLOR_WINDOWTEXT)), backColor(::GetSysColor(COLOR_WINDOW)),
      backBrush(::CreateSolidBrush(backColor))
{
}

ReadToEndEdit::~ReadToEndEdit()
{
    enableTargetId = 0;
}

bool ReadToEndEdit::OnReflectedCommand(int notifyCode)
{
    if (notifyCode != EN_VSCROLL) {
        return false;
    }
    OnScrollNotify();
    return true;
}

HBRUSH ReadToEndEdit::OnReflectedCtlColor(HDC dc, UINT)
{
    // Edit or static colours alike: a read-only edit asks for the static ones.
    ::SetTextColor(dc, textColor);
    ::SetBkColor(dc, backColor);
    return backBrush.get();
}

bool ReadToEndEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam));
        result = ScrollAsTheUser(message, wParam, lParam);
        return true;
    case WM_MOUSEWHEEL:
        result = ScrollAsTheUser(message, wParam, lParam);
        return true;
    case WM_KEYDOWN:
        if (!IsReadingKey(wParam)) {
            return false;
        }
        result = ScrollAsTheUser(message, wParam, lParam);
        return true;
    case WM_SYSCOLORCHANGE:
        result = DefaultHandling(message, wParam, lParam);
        OnSysColorChange();
        return true;
    case WM_GETDLGCODE:
        // Without DLGC_HASSETSEL the dialog manager selects nothing when the focus arrives (Tab,
        // Shift+Tab, the dialog's first focus): its select-all would move the caret to the end
        // and the view to the last page, where the end is in view but was never scrolled to.
        result = DefaultHandling(message, wParam, lParam) & ~DLGC_HASSETSEL;
        return true;
    default:
        return false;
    }
}

LRESULT ReadToEndEdit::ScrollAsTheUser(UINT message, WPARAM wParam, LPARAM lParam)
{
    ++userScrolling;
    const LRESULT result = DefaultHandling(message, wParam, lParam);
    // The notification may come before the bar shows the new position: the bar is read once
    // the control is done.
    if (--userScrolling == 0 && userScrolled) {
        userScrolled = false;
        EnableTargetIfAtEnd(static_cast<UINT>(::GetScrollPos(GetHwnd(), SB_VERT)));
    }
    return result;
}

void ReadToEndEdit::OnScrollNotify()
{
    // Some edit controls also notify when they scroll on their own (a new text, a selection
    // dragged past the edge); only the user's scrolling counts.
    if (userScrolling != 0) {
        userScrolled = true;
    }
}

void ReadToEndEdit::OnVScroll(UINT, UINT position)
{
    // The message carries a position only while the thumb is dragged or released; other codes
    // carry 0, and the bar is read after the scrolling they cause instead.
    EnableTargetIfAtEnd(position);
}

void ReadToEndEdit::EnableTargetIfAtEnd(UINT position)
{
    // Unsigned on purpose: a limit below 0 (a page larger than the text) is never reached.
    if (enableTargetId == 0 || position < static_cast<UINT>(GetScrollLimit(SB_VERT))) {
        return;
    }
    if (HWND target = ::GetDlgItem(::GetParent(GetHwnd()), enableTargetId)) {
        ::EnableWindow(target, TRUE);
    }
}

void ReadToEndEdit::OnSysColorChange()
{
    backBrush.reset();
    textColor = ::GetSysColor(COLOR_WINDOWTEXT);
    backColor = ::GetSysColor(COLOR_WINDOW);
    backBrush.reset(::CreateSolidBrush(backColor));
}
