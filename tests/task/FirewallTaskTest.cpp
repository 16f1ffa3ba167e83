// The task's worker as a dialog sees it: the two posted messages, the result stored before the
// end message, Wait before a start and after the end, and a second Start.
#include "task/FirewallTask.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string MonitorName = "Tessaly ドライバ配信 監視プログラム";

std::string MonitorPort(const char* profile, const char* rest)
{
    return std::string("port ") + profile + " UDP " + rest + " subnet any user - " + MonitorName;
}

// A message-only window that collects the worker's messages.
class Listener {
public:
    Listener() : window(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~Listener() { ::DestroyWindow(window); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    HWND Window() const { return window; }

    // The task messages, up to WM_FIREWALL_TASK_END (the task's result is read as it arrives)
    // or 30 seconds; afterwards `seen` holds them and `atEnd` the result.
    void Collect(const FirewallTask& task)
    {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 30000) {
            MSG msg;
            if (!::PeekMessageA(&msg, window, WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END, PM_REMOVE)) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
                continue;
            }
            EXPECT_EQ(0u, msg.wParam);
            EXPECT_EQ(0, msg.lParam);
            seen.push_back(msg.message);
            if (msg.message == WM_FIREWALL_TASK_END) {
                atEnd = task.GetResult();
                return;
            }
        }
    }

    std::vector<UINT> seen;
    ResultCode atEnd = -1;

private:
    HWND window;
};

class FirewallTaskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, testsupport::ProbeSimFw()) << "simfw.dll does not answer"; }
};

TEST_F(FirewallTaskTest, WorkerPostsBeginThenEndWithItsResultStored)
{
    const struct {
        const char* name;
        RunMode mode;
        std::string state;
        ResultCode result;
        std::vector<std::string> portsAfter;
    } cases[] = {
        {"setup", RunMode::Setup, "", Result::Success,
         {MonitorPort("Domain", "58140 enabled"), MonitorPort("Standard", "58140 enabled")}},
        // A failed change still ends with the end message; what succeeded is not undone.
        {"setup failing in Standard", RunMode::Setup, "fail Standard INetFwOpenPorts::Add 0x80070005\n",
         Result::FirewallFailed, {MonitorPort("Domain", "58140 enabled")}},
        {"removal", RunMode::Remove,
         MonitorPort("Domain", "58140 enabled") + "\nport Standard TCP 80 enabled all any user - Web\n" +
             MonitorPort("Standard", "40000 disabled") + "\n",
         Result::Success, {"port Standard TCP 80 enabled all any user - Web"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::SimFwStateFile state(c.state);
        ASSERT_TRUE(state.Ok());
        FirewallTask task;
        if (c.mode == RunMode::Setup) {
            task.GetPortConfig().ReadPortNumber();
        } else {
            ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());
        }
        Listener listener;
        ASSERT_TRUE(task.Start(listener.Window(), c.mode));
        listener.Collect(task);
        EXPECT_EQ((std::vector<UINT>{WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END}), listener.seen);
        EXPECT_EQ(c.result, listener.atEnd);
        // Waiting on an ended worker returns at once, every time.
        task.Wait();
        task.Wait();
        EXPECT_TRUE(task.HasWorkerEnded());
        EXPECT_EQ(c.portsAfter, state.PortLines());
    }
}

TEST_F(FirewallTaskTest, WaitWithoutAStartReturnsAtOnce)
{
    FirewallTask task;
    task.Wait();
    EXPECT_FALSE(task.HasWorkerEnded());
    EXPECT_EQ(Result::Success, task.GetResult());
}

TEST_F(FirewallTaskTest, ASecondStartNamesTheWindowButStartsNoSecondWorker)
{
    testsupport::SimFwStateFile state("delay INetFwOpenPorts::Add 300\n");
    ASSERT_TRUE(state.Ok());
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    Listener listener;
    task.Start(nullptr, RunMode::Setup);
    task.Start(listener.Window(), RunMode::Setup);
    listener.Collect(task);
    ASSERT_FALSE(listener.seen.empty());
    EXPECT_EQ(WM_FIREWALL_TASK_END, listener.seen.back());
    EXPECT_EQ(Result::Success, listener.atEnd);
    // A second worker would post its end within the delay after the first: absence needs a wait.
    task.Wait();
    ::Sleep(300);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, listener.Window(), WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END, PM_REMOVE));
}

} // namespace
