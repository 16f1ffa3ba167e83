// The modal dialog base: its own loop, the owner it disables, and how it ends.

#include "DialogDriver.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

// Records what the loop did, on the dialog's own thread.
class ProbeDialog : public fw::Dialog {
public:
    ProbeDialog(UINT templateId, HWND parent) : fw::Dialog(templateId, parent) {}

    INT_PTR endInInit = 0;
    HWND owner = nullptr;
    bool ownerEnabledAtDestroy = false;

protected:
    BOOL OnInitDialog() override
    {
        if (endInInit != 0) {
            EndDialog(endInInit);
        }
        return fw::Dialog::OnInitDialog();
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_DESTROY) {
            ownerEnabledAtDestroy = ::IsWindowEnabled(owner) != FALSE;
        }
        return fw::Dialog::OnMessage(message, wParam, lParam, result);
    }
};

TEST(Dialog, MissingTemplateGivesMinusOne)
{
    ProbeDialog dialog(4242, nullptr);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(Dialog, EndInInitDialogReturnsAtOnce)
{
    ProbeDialog dialog(IDD_INTRO, nullptr);
    dialog.endInInit = 3;
    EXPECT_EQ(3, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(Dialog, DisablesTheOwnerAndEnablesItBeforeGoing)
{
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    ProbeDialog dialog(IDD_INTRO, child); // the owner is the parent's top-level window
    dialog.owner = owner;
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread&, HWND window) {
        EXPECT_EQ(owner, ::GetWindow(window, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(owner));
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(dialog.ownerEnabledAtDestroy);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST(Dialog, QuitEndsTheLoopAndIsPassedOn)
{
    ProbeDialog dialog(IDD_INTRO, nullptr);
    const DWORD thread = ::GetCurrentThreadId();
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread&, HWND) {
        ::PostThreadMessageA(thread, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(-1, result);
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

} // namespace
