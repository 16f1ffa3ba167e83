// The task's worker as a dialog sees it: the two posted messages, the result stored before the
// end message, and Wait before a start and after the end.
#include "task/FirewallTask.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string MonitorName = "Tessaly ドライバ配信 監視プログラム";

// A message-only window that collects the worker's messages.
class Listener {
public:
    Listener() : window(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~Listener() { ::DestroyWindow(window); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    HWND Window() const { return window; }

    // Collects the task messages until WM_FIREWALL_TASK_END (result then read through
    // `onEnd`) or the timeout.
    template <typename OnEnd>
    std::vector<UINT> Collect(OnEnd onEnd, DWORD timeoutMs = 30000)
    {
        std::vector<UINT> seen;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < timeoutMs) {
            MSG msg;
            if (!::PeekMessageA(&msg, window, WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END, PM_REMOVE)) {
                ::Sleep(5);
                continue;
            }
            EXPECT_EQ(0u, msg.wParam);
            EXPECT_EQ(0, msg.lParam);
            seen.push_back(msg.message);
            if (msg.message == WM_FIREWALL_TASK_END) {
                onEnd();
                break;
            }
        }
        return seen;
    }

    // Task messages that are still queued.
    int Pending()
    {
        int count = 0;
        MSG msg;
        while (::PeekMessageA(&msg, window, WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END, PM_REMOVE)) {
            ++count;
        }
        return count;
    }

private:
    HWND window;
};

std::string PortLine(const char* profile, int32_t port)
{
    return std::string("port ") + profile + " UDP " + std::to_string(port) + " enabled subnet any user - " + MonitorName;
}

class FirewallTaskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, testsupport::ProbeSimFw()) << "simfw.dll does not answer"; }
};

TEST_F(FirewallTaskTest, WaitOnANeverStartedTaskReturnsAtOnce)
{
    FirewallTask task;
    task.Wait();
    EXPECT_FALSE(task.HasWorkerEnded());
    EXPECT_EQ(Result::Success, task.GetResult());
}

TEST_F(FirewallTaskTest, SetupWorkerPostsBeginThenEndAfterStoringItsResult)
{
    testsupport::SimFwStateFile state;
    ASSERT_TRUE(state.Ok());
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    int32_t port = 0;
    task.GetPortConfig().GetPortNumber(port);

    Listener listener;
    task.Start(listener.Window(), RunMode::Setup);
    ResultCode atEnd = -1;
    const std::vector<UINT> seen = listener.Collect([&] { atEnd = task.GetResult(); });
    EXPECT_EQ((std::vector<UINT>{WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END}), seen);
    EXPECT_EQ(Result::Success, atEnd);
    task.Wait();
    EXPECT_TRUE(task.HasWorkerEnded());
    EXPECT_EQ((std::vector<std::string>{PortLine("Domain", port), PortLine("Standard", port)}), state.PortLines());
}

TEST_F(FirewallTaskTest, AFailedChangeStillEndsWithTheEndMessageAndCode6)
{
    testsupport::SimFwStateFile state("fail Standard INetFwOpenPorts::Add 0x80070005\n");
    ASSERT_TRUE(state.Ok());
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    int32_t port = 0;
    task.GetPortConfig().GetPortNumber(port);

    Listener listener;
    task.Start(listener.Window(), RunMode::Setup);
    ResultCode atEnd = -1;
    const std::vector<UINT> seen = listener.Collect([&] { atEnd = task.GetResult(); });
    EXPECT_EQ((std::vector<UINT>{WM_FIREWALL_TASK_BEGIN, WM_FIREWALL_TASK_END}), seen);
    EXPECT_EQ(Result::FirewallFailed, atEnd);
    // Nothing that succeeded is undone.
    EXPECT_EQ((std::vector<std::string>{PortLine("Domain", port)}), state.PortLines());
}

TEST_F(FirewallTaskTest, RemovalWorkerRemovesTheCollectedPorts)
{
    testsupport::SimFwStateFile state("port Domain UDP 58140 enabled subnet any user - " + MonitorName + "\n" +
                                      "port Standard TCP 80 enabled all any user - Web\n" +
                                      "port Standard UDP 40000 disabled subnet any user - " + MonitorName + "\n");
    ASSERT_TRUE(state.Ok());
    FirewallTask task;
    ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());

    Listener listener;
    task.Start(listener.Window(), RunMode::Remove);
    ResultCode atEnd = -1;
    listener.Collect([&] { atEnd = task.GetResult(); });
    EXPECT_EQ(Result::Success, atEnd);
    EXPECT_EQ((std::vector<std::string>{"port Standard TCP 80 enabled all any user - Web"}), state.PortLines());
}

TEST_F(FirewallTaskTest, WaitAfterTheWorkerHasGoneReturnsAtOnceEveryTime)
{
    testsupport::SimFwStateFile state;
    ASSERT_TRUE(state.Ok());
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    task.Start(nullptr, RunMode::Setup);
    const DWORD start = ::GetTickCount();
    while (!task.HasWorkerEnded() && ::GetTickCount() - start < 30000) {
        ::Sleep(10);
    }
    ASSERT_TRUE(task.HasWorkerEnded());
    ::Sleep(200); // the thread has long released everything of its own
    const DWORD before = ::GetTickCount();
    task.Wait();
    task.Wait();
    EXPECT_LT(::GetTickCount() - before, 1000u);
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
    ResultCode atEnd = -1;
    const std::vector<UINT> seen = listener.Collect([&] { atEnd = task.GetResult(); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(WM_FIREWALL_TASK_END, seen.back());
    EXPECT_EQ(Result::Success, atEnd);
    task.Wait();
    ::Sleep(300);
    EXPECT_EQ(0, listener.Pending()) << "a second worker posted too";
}

} // namespace
