#pragma once

#include <windows.h>

namespace fw {

// A C++ object bound to one existing child control. Binding subclasses the control's window
// procedure, so the object sees the control's own messages (OnMessage); the parent dialog
// reflects the control's WM_COMMAND notifications and colour requests back to it (OnReflected...).
// The binding ends when the control is destroyed or the object goes away, whichever is first.
class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // False when window is null or this object is already bound.
    bool Attach(HWND window);
    void Detach();
    HWND GetHwnd() const { return hwnd; }

    // The object bound to window, or null.
    static Control* FromHandle(HWND window);

    // Reflected from the parent. True (or a brush) when handled; the parent then stops there.
    virtual bool OnReflectedCommand(int notifyCode);
    virtual HBRUSH OnReflectedCtlColor(HDC dc, UINT message);

    // The scroll bar's highest position for the top of the view: range maximum + 1 - page;
    // below 0 when the page is larger than the range, -1 when the bar cannot be read.
    int GetScrollLimit(int bar) const;

protected:
    // The control's own messages; return true with result set to stop the control's
    // usual processing, false to let it run.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The control's usual processing of a message, for handlers that add to it.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    WNDPROC previousProc = nullptr;
};

} // namespace fw
