// Two threads with their own COM apartments share the firewall through the state file, and
// writers racing each other never leave a torn file behind.

#include "SimFwHelpers.h"

#include "support/SimFwStateFile.h"

#include <atomic>
#include <thread>

namespace simfwtest {
namespace {

using testsupport::SimFwStateFile;
using ThreadsTest = SimFwTest;

bool HasPort(Route route, LONG number)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    fw::ComPtr<INetFwOpenPort> port;
    return SUCCEEDED(OpenPorts(route, ports)) && ports->Item(number, NET_FW_IP_PROTOCOL_UDP, port.put()) == S_OK;
}

TEST_F(ThreadsTest, ApartmentsOfTwoThreadsSeeTheSameState)
{
    SimFwStateFile state;
    std::atomic<int> step{0};
    std::atomic<bool> otherSawIt{false};
    std::thread other([&] {
        fw::ComInit com;
        while (step.load() != 1) {
            ::Sleep(1);
        }
        otherSawIt = HasPort(Route::Domain, 100);
        EXPECT_EQ(S_OK, AddPort(Route::Domain, L"from the other thread", 200, NET_FW_IP_PROTOCOL_UDP));
        step = 2;
    });
    EXPECT_EQ(S_OK, AddPort(Route::Domain, L"from the test thread", 100, NET_FW_IP_PROTOCOL_UDP));
    step = 1;
    other.join();
    EXPECT_TRUE(otherSawIt);
    EXPECT_TRUE(HasPort(Route::Domain, 200));
}

TEST_F(ThreadsTest, RacingWritersNeverTearTheFile)
{
    const std::string text = "current Standard\n"
                             "port Domain UDP 1 enabled subnet any user - " + std::string(3000, 'x') + "\n"
                             "port Standard UDP 2 enabled subnet any user - " + std::string(3000, 'y') + "\n";
    SimFwStateFile state(text);
    std::atomic<bool> stop{false};
    auto writer = [&](Route route, LONG number) {
        fw::ComInit com;
        while (!stop) {
            fw::ComPtr<INetFwOpenPorts> ports;
            fw::ComPtr<INetFwOpenPort> port;
            if (SUCCEEDED(OpenPorts(route, ports)) && SUCCEEDED(ports->Item(number, NET_FW_IP_PROTOCOL_UDP, port.put()))) {
                port->put_Enabled(VARIANT_TRUE);
            }
        }
    };
    std::thread domain(writer, Route::Domain, 1);
    std::thread standard(writer, Route::Standard, 2);
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        torn += state.Read() != text;
    }
    stop = true;
    domain.join();
    standard.join();
    EXPECT_EQ(0, torn);
}

} // namespace
} // namespace simfwtest
