// The collection's behaviour that the product relies on: lookup by number and protocol with its
// exact not-found code, Add and Remove keyed the same way, Count and enumeration in step, and
// changes that reach the state file and every later manager.

#include "SimFwHelpers.h"

#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include "framework/Handles.h"

#include <cstdlib>

namespace simfwtest {
namespace {

using testsupport::SimFwStateFile;

const char kTwoProfiles[] =
    "current Standard\n"
    "port Domain UDP 58140 enabled subnet any user - Monitor\n"
    "port Standard TCP 80 disabled all v4 builtin - Web server\n"
    "port Standard UDP 500 enabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet VPN\n";

using PortsTest = SimFwTest;

TEST_F(PortsTest, ItemFindsByNumberAndProtocolInItsProfileOnly)
{
    SimFwStateFile state(kTwoProfiles);
    struct Case {
        Route route;
        LONG number;
        NET_FW_IP_PROTOCOL protocol;
        const wchar_t* name; // null: not found
    } cases[] = {
        {Route::Domain, 58140, NET_FW_IP_PROTOCOL_UDP, L"Monitor"},
        {Route::Domain, 58140, NET_FW_IP_PROTOCOL_TCP, nullptr},
        {Route::Standard, 58140, NET_FW_IP_PROTOCOL_UDP, nullptr},
        {Route::Standard, 80, NET_FW_IP_PROTOCOL_TCP, L"Web server"},
        {Route::Current, 500, NET_FW_IP_PROTOCOL_UDP, L"VPN"},
        {Route::CurrentProperty, 80, NET_FW_IP_PROTOCOL_UDP, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "route " << static_cast<int>(c.route) << " port " << c.number);
        fw::ComPtr<INetFwOpenPorts> ports;
        ASSERT_EQ(S_OK, OpenPorts(c.route, ports));
        fw::ComPtr<INetFwOpenPort> port;
        HRESULT hr = ports->Item(c.number, c.protocol, port.put());
        if (c.name) {
            ASSERT_EQ(S_OK, hr);
            EXPECT_EQ(c.name, NameOf(port.get()));
        } else {
            EXPECT_EQ(kNotFound, hr);
            EXPECT_FALSE(port);
        }
    }
}

TEST_F(PortsTest, PortPropertiesReadAsStored)
{
    SimFwStateFile state(kTwoProfiles);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Standard, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, ports->Item(500, NET_FW_IP_PROTOCOL_UDP, port.put()));
    NET_FW_IP_VERSION version = NET_FW_IP_VERSION_V4;
    NET_FW_SCOPE scope = NET_FW_SCOPE_ALL;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    VARIANT_BOOL builtIn = VARIANT_TRUE;
    fw::UniqueBstr remote;
    EXPECT_EQ(S_OK, port->get_IpVersion(&version));
    EXPECT_EQ(S_OK, port->get_Scope(&scope));
    EXPECT_EQ(S_OK, port->get_Enabled(&enabled));
    EXPECT_EQ(S_OK, port->get_BuiltIn(&builtIn));
    EXPECT_EQ(S_OK, port->get_RemoteAddresses(remote.put()));
    EXPECT_EQ(NET_FW_IP_VERSION_ANY, version);
    EXPECT_EQ(NET_FW_SCOPE_CUSTOM, scope);
    EXPECT_EQ(VARIANT_TRUE, enabled);
    EXPECT_EQ(VARIANT_FALSE, builtIn);
    EXPECT_STREQ(L"10.0.0.0/255.0.0.0,LocalSubnet", remote.get());

    ASSERT_EQ(S_OK, ports->Item(80, NET_FW_IP_PROTOCOL_TCP, port.put()));
    EXPECT_EQ(S_OK, port->get_Enabled(&enabled));
    EXPECT_EQ(S_OK, port->get_BuiltIn(&builtIn));
    EXPECT_EQ(VARIANT_FALSE, enabled);
    EXPECT_EQ(VARIANT_TRUE, builtIn);
}

TEST_F(PortsTest, AddKeysByNumberAndProtocol)
{
    SimFwStateFile state(kTwoProfiles);
    EXPECT_EQ(S_OK, AddPort(Route::Domain, L"Second name", 58140, NET_FW_IP_PROTOCOL_UDP));
    EXPECT_EQ(S_OK, AddPort(Route::Domain, L"Same number, TCP", 58140, NET_FW_IP_PROTOCOL_TCP));
    EXPECT_EQ(S_OK, AddPort(Route::Current, L"Into Standard", 58140, NET_FW_IP_PROTOCOL_UDP));

    fw::ComPtr<INetFwOpenPorts> domain;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, domain));
    LONG count = 0;
    EXPECT_EQ(S_OK, domain->get_Count(&count));
    EXPECT_EQ(2, count);
    std::vector<Element> elements = Walk(domain.get());
    ASSERT_EQ(2u, elements.size());
    EXPECT_EQ(L"Second name/58140/17", elements[0].port); // overwritten in its place
    EXPECT_EQ(L"Same number, TCP/58140/6", elements[1].port);
    EXPECT_EQ(5u, state.PortLines().size());
}

TEST_F(PortsTest, AddRefusesAPortWithoutNumber)
{
    SimFwStateFile state;
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
    EXPECT_EQ(E_INVALIDARG, ports->Add(port.get()));
    EXPECT_EQ(E_POINTER, ports->Add(nullptr));
    EXPECT_TRUE(state.PortLines().empty());
}

TEST_F(PortsTest, RemoveTakesOutOnlyThatPort)
{
    SimFwStateFile state(kTwoProfiles);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Standard, ports));
    EXPECT_EQ(kNotFound, ports->Remove(80, NET_FW_IP_PROTOCOL_UDP));
    EXPECT_EQ(kNotFound, ports->Remove(58140, NET_FW_IP_PROTOCOL_UDP)); // in Domain only
    EXPECT_EQ(S_OK, ports->Remove(80, NET_FW_IP_PROTOCOL_TCP));
    fw::ComPtr<INetFwOpenPort> port;
    EXPECT_EQ(kNotFound, ports->Item(80, NET_FW_IP_PROTOCOL_TCP, port.put()));
    EXPECT_EQ(kNotFound, ports->Remove(80, NET_FW_IP_PROTOCOL_TCP));

    std::vector<std::string> expected = {
        "port Domain UDP 58140 enabled subnet any user - Monitor",
        "port Standard UDP 500 enabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet VPN",
    };
    EXPECT_EQ(expected, state.PortLines());
}

TEST_F(PortsTest, NextYieldsEveryPortThenSFalse)
{
    SimFwStateFile state(kTwoProfiles);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Standard, ports));
    LONG count = 0;
    ASSERT_EQ(S_OK, ports->get_Count(&count));
    std::vector<Element> elements = Walk(ports.get());
    ASSERT_EQ(static_cast<size_t>(count), elements.size());
    ASSERT_EQ(2u, elements.size());
    EXPECT_EQ(VT_DISPATCH, elements[0].type);
    EXPECT_EQ(L"Web server/80/6", elements[0].port);
    EXPECT_EQ(L"VPN/500/17", elements[1].port);

    // Several at once: a short read is S_FALSE with the number fetched; Skip, Reset and Clone.
    fw::ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(S_OK, Enumerate(ports.get(), enumerator));
    VARIANT values[3];
    ULONG fetched = 9;
    ASSERT_EQ(S_FALSE, enumerator->Next(3, values, &fetched));
    ASSERT_EQ(2u, fetched);
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(VT_DISPATCH, V_VT(&values[i]));
        ::VariantClear(&values[i]);
    }
    EXPECT_EQ(S_OK, enumerator->Reset());
    EXPECT_EQ(S_OK, enumerator->Skip(1));
    fw::ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, enumerator->Clone(clone.put()));
    EXPECT_EQ(S_OK, clone->Skip(1));
    EXPECT_EQ(S_FALSE, clone->Skip(1));
    EXPECT_EQ(S_OK, enumerator->Skip(1)); // the clone moves on its own
}

TEST_F(PortsTest, EmptyProfileEnumeratesNothing)
{
    SimFwStateFile state("current Domain\n");
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::CurrentProperty, ports));
    LONG count = -1;
    EXPECT_EQ(S_OK, ports->get_Count(&count));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(Walk(ports.get()).empty());
}

TEST_F(PortsTest, ChangesThroughItemAreStoredAndSeenByTheNextManager)
{
    SimFwStateFile state(kTwoProfiles);
    {
        fw::ComPtr<INetFwOpenPorts> ports;
        ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
        fw::ComPtr<INetFwOpenPort> port;
        ASSERT_EQ(S_OK, ports->Item(58140, NET_FW_IP_PROTOCOL_UDP, port.put()));
        EXPECT_EQ(S_OK, port->put_Enabled(VARIANT_FALSE));
        EXPECT_EQ(S_OK, port->put_Scope(NET_FW_SCOPE_ALL));
    }
    EXPECT_EQ("port Domain UDP 58140 disabled all any user - Monitor", state.PortLines()[0]);

    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, ports->Item(58140, NET_FW_IP_PROTOCOL_UDP, port.put()));
    VARIANT_BOOL enabled = VARIANT_TRUE;
    EXPECT_EQ(S_OK, port->get_Enabled(&enabled));
    EXPECT_EQ(VARIANT_FALSE, enabled);
}

TEST_F(PortsTest, FreeStandingPortIsStoredOnlyAsAddCopiedIt)
{
    SimFwStateFile state;
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, NewPort(L"Monitor", 58140, NET_FW_IP_PROTOCOL_UDP, port));
    EXPECT_TRUE(state.PortLines().empty());
    ASSERT_EQ(S_OK, ports->Add(port.get()));
    EXPECT_EQ(S_OK, port->put_Enabled(VARIANT_FALSE));

    std::vector<std::string> expected = {"port Domain UDP 58140 enabled subnet any user - Monitor"};
    EXPECT_EQ(expected, state.PortLines());
    fw::ComPtr<INetFwOpenPort> stored;
    ASSERT_EQ(S_OK, ports->Item(58140, NET_FW_IP_PROTOCOL_UDP, stored.put()));
    VARIANT_BOOL enabled = VARIANT_FALSE;
    EXPECT_EQ(S_OK, stored->get_Enabled(&enabled));
    EXPECT_EQ(VARIANT_TRUE, enabled);
}

// Runs in a child process started by ChangesReachAnotherProcess.
TEST_F(PortsTest, DISABLED_ChildAddsPort)
{
    EXPECT_EQ(S_OK, AddPort(Route::Standard, L"From the child", 4000, NET_FW_IP_PROTOCOL_TCP));
}

TEST_F(PortsTest, ChangesReachAnotherProcess)
{
    SimFwStateFile state(kTwoProfiles);
    char exe[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetModuleFileNameA(nullptr, exe, sizeof exe));
    std::string command = std::string("\"") + exe +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=PortsTest.DISABLED_ChildAddsPort";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    fw::UniqueHandle thread(process.hThread);
    fw::UniqueHandle child(process.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.get(), 60000));
    DWORD exitCode = 1;
    ASSERT_TRUE(::GetExitCodeProcess(child.get(), &exitCode));
    ASSERT_EQ(0u, exitCode);

    EXPECT_EQ("port Standard TCP 4000 enabled subnet any user - From the child", state.PortLines().back());
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Standard, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, ports->Item(4000, NET_FW_IP_PROTOCOL_TCP, port.put()));
    EXPECT_EQ(L"From the child", NameOf(port.get()));
}

TEST_F(PortsTest, LiveObjectsCountEveryHeldObject)
{
    SimFwStateFile state(kTwoProfiles);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    EXPECT_EQ(1, testsupport::SimFwLiveObjects()); // manager, policy and profile are gone already
    fw::ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(S_OK, Enumerate(ports.get(), enumerator));
    fw::UniqueVariant value;
    ASSERT_EQ(S_OK, enumerator->Next(1, value.put(), nullptr));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
    EXPECT_EQ(4, testsupport::SimFwLiveObjects());
}

} // namespace
} // namespace simfwtest
