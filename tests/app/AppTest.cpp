// The application object's start and exit: a failed InitInstance runs no message loop and
// the process exit code is ExitInstance's value.
#include "framework/App.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr UINT ProbeMessage = WM_APP + 7;

class TestApp : public fw::App {
public:
    explicit TestApp(bool succeed) : succeed(succeed) {}
    bool exited = false;

protected:
    bool InitInstance() override
    {
        ::PostThreadMessageA(::GetCurrentThreadId(), ProbeMessage, 0, 0);
        if (succeed) {
            ::PostQuitMessage(7);
        }
        return succeed;
    }
    int ExitInstance() override
    {
        exited = true;
        return fw::App::ExitInstance() + 40;
    }

private:
    bool succeed;
};

TEST(App, FailedInitInstanceRunsNoLoopAndExitsWithExitInstancesValue)
{
    TestApp app(false);
    EXPECT_EQ(40, app.Main());
    EXPECT_TRUE(app.exited);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, ProbeMessage, ProbeMessage, PM_REMOVE)) << "the message was pumped";
}

TEST(App, SucceededInitInstanceRunsTheLoopUntilQuit)
{
    TestApp app(true);
    EXPECT_EQ(47, app.Main());
    EXPECT_TRUE(app.exited);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, ProbeMessage, ProbeMessage, PM_REMOVE));
}

} // namespace
