#pragma once

#include <windows.h>

namespace fw {

class DataExchange;

// A modal dialog from a template of the program's module, run by a message loop of its own.
//
// Messages reach one virtual OnMessage, whose base dispatches to OnInitDialog, OnCommand
// (IDOK -> OnOK, IDCANCEL -> OnCancel), OnNotify, reflection of WM_COMMAND notifications and
// colour requests to bound controls (fw::Control), and passes WM_SYSCOLORCHANGE on to every child.
// Every message for the dialog or one of its children is offered to PreTranslateMessage before
// the dialog's keyboard handling and dispatch see it.
class Dialog {
public:
    Dialog(UINT templateId, HWND parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog, runs it until EndDialog and destroys it. Returns the value given to
    // EndDialog; -1 when the dialog cannot be created or its loop ends without EndDialog
    // (WM_QUIT, which is posted again for the outer loop, or the window destroyed by others).
    INT_PTR DoModal();
    // Ends the modal loop after the current message with result.
    void EndDialog(INT_PTR result);

    HWND GetHwnd() const { return hwnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(hwnd, id); }

    // Exchanges data between the controls and the members (DoDataExchange); save = true reads
    // the controls. False when a control of the exchange is missing.
    bool UpdateData(bool save);

protected:
    // The whole dispatch. Return true with result set when handled; false lets the dialog
    // manager's default processing run.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Base: UpdateData(false); TRUE lets the dialog manager focus the first tab stop.
    virtual BOOL OnInitDialog();
    // Base: IDOK -> OnOK, IDCANCEL -> OnCancel (clicks, Enter, Esc, the close box).
    virtual bool OnCommand(int notifyCode, int id, HWND control);
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    // Base: UpdateData(true), then EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // TRUE drops the message. Base: FALSE.
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual void DoDataExchange(DataExchange& exchange);

    // The dialog manager's default processing of a message, for handlers that must run after it.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool IsOwnWindow(HWND window) const;
    // One of this dialog's child windows, created by this thread.
    bool IsOwnControl(HWND window) const;
    void PassToChildren(UINT message, WPARAM wParam, LPARAM lParam) const;

    UINT templateId;
    HWND parent;
    HWND hwnd = nullptr;
    bool ended = false;
    INT_PTR endResult = -1;
    UINT defaultMessage = 0; // set while DefaultHandling runs the dialog manager for it
};

} // namespace fw
