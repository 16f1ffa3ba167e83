#pragma once

// Drives a modal dialog as a user would: DoModal runs its own loop on the test's thread while
// a script runs on a second thread, posting input to the dialog's windows and asking the
// dialog's thread for its state.
//
//     INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
//         EXPECT_FALSE(ui.IsEnabled(IDOK));
//         uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
//     });
//
// Every wait is bounded by Patience, long enough for a loaded machine and ended as soon as the
// awaited state holds. Whatever the script did or failed, RunModal returns only once the
// dialog has gone; a dialog's thread that stops answering ends the test program.

#include "framework/Dialog.h"
#include "framework/UniqueResource.h"

#include <functional>
#include <windows.h>

namespace uitest {

constexpr DWORD Patience = 30000;

struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type window) noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = fw::UniqueResource<WindowTraits>;

// The dialog's thread as seen from the script.
class UiThread {
public:
    UiThread(HWND helper, HWND dialog) : helper(helper), dialog(dialog) {}

    // Runs action on the dialog's thread and returns when it is done.
    void Run(const std::function<void()>& action) const;
    // Returns once every message posted to the dialog's thread so far has been handled.
    void Flush() const;

    // What query returns when run on the dialog's thread.
    template <typename Query>
    auto Ask(Query query) const
    {
        decltype(query()) answer{};
        Run([&] { answer = query(); });
        return answer;
    }

    HWND Item(int id) const { return ::GetDlgItem(dialog, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return Ask([&] { return ::SendDlgItemMessageA(dialog, id, message, wParam, lParam); });
    }
    bool IsEnabled(int id) const { return Ask([&] { return ::IsWindowEnabled(Item(id)) != FALSE; }); }
    HWND FocusWindow() const { return Ask([] { return ::GetFocus(); }); }
    bool HasWaitCursor() const { return Ask([] { return ::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT); }); }
    bool IsPushed(int id) const { return (Send(id, BM_GETSTATE) & BST_PUSHED) != 0; }

private:
    HWND helper;
    HWND dialog;
};

// Runs dialog.DoModal() on this thread and script on another once the dialog is shown (not at
// all when the dialog ends before it is shown). A dialog the script leaves open fails the test
// and is cancelled: at once when a check already failed, else after Patience.
INT_PTR RunModal(fw::Dialog& dialog, const std::function<void(UiThread& ui, HWND window)>& script);

// Polls condition every 10 ms; false when it did not hold within timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = Patience);

// A left click in the middle of a control, posted as the mouse would.
void PostClick(HWND control);
// A key press (down and up) posted to window.
void PostKey(HWND window, WPARAM key);

} // namespace uitest
