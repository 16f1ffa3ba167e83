#pragma once

// Drives a modal dialog as a user would: DoModal runs its own loop on the test's thread while
// a script runs on a second thread, posting input to the dialog's windows and asking the
// dialog's thread for its state.
//
//     IntroDialog dialog(nullptr);
//     dialog.SetTask(&task);
//     INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
//         EXPECT_EQ(uitest::Cp932(u8"…"), ui.ItemText(IDC_PORT_TEXT));
//         ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
//     });

#include "framework/Dialog.h"

#include <functional>
#include <string>
#include <windows.h>

namespace uitest {

// UTF-8 text converted to code page 932, as the dialogs carry it.
std::string Cp932(const std::string& utf8);

// The dialog's thread as seen from the script.
class UiThread {
public:
    UiThread(HWND helper, HWND dialog) : helper(helper), dialog(dialog) {}

    // Runs action on the dialog's thread and returns when it is done.
    void Run(const std::function<void()>& action) const;
    // Returns once every message posted to the dialog's thread so far has been handled
    // (or dropped).
    void Flush() const;

    HWND Item(int id) const { return ::GetDlgItem(dialog, id); }
    std::string ItemText(int id) const;
    bool IsEnabled(int id) const;
    DWORD Style(int id) const;
    HWND FocusWindow() const;
    int Focus() const;             // control id of the focused window, 0 for none
    bool HasWaitCursor() const;
    bool IsPushed(int id) const;   // drawn pushed (BM_GETSTATE)
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    HWND helper;
    HWND dialog;
};

// Runs dialog.DoModal() on this thread and script on another once the dialog is shown.
// A script that leaves the dialog open is a failure; the dialog is then cancelled.
INT_PTR RunModal(fw::Dialog& dialog, const std::function<void(UiThread& ui, HWND window)>& script);

// Polls condition every 10 ms; false when it did not hold within timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// A left click in the middle of a control, posted as the mouse would.
void PostClick(HWND control);
// A key press (down and up) posted to window.
void PostKey(HWND window, WPARAM key);

} // namespace uitest
