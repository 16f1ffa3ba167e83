// Injected faults: `fail` hits exactly the named method in the named profile, `unavailable`
// takes the classes away, `delay` makes a call slow.

#include "SimFwHelpers.h"

#include "support/SimFwStateFile.h"

#include <functional>
#include <set>

namespace simfwtest {
namespace {

using testsupport::SimFwStateFile;
using FaultsTest = SimFwTest;

const HRESULT kInjected = static_cast<HRESULT>(0x80070005);

// One call in one context; S_OK when it and every step to it succeeded.
struct Probe {
    const char* name;
    std::function<HRESULT()> run;
};

HRESULT ItemIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPorts(route, ports);
    fw::ComPtr<INetFwOpenPort> port;
    return SUCCEEDED(hr) ? ports->Item(7, NET_FW_IP_PROTOCOL_UDP, port.put()) : hr;
}

HRESULT CountIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPorts(route, ports);
    LONG count = 0;
    return SUCCEEDED(hr) ? ports->get_Count(&count) : hr;
}

HRESULT NextIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    fw::ComPtr<IEnumVARIANT> enumerator;
    HRESULT hr = OpenPorts(route, ports);
    if (SUCCEEDED(hr)) {
        hr = Enumerate(ports.get(), enumerator);
    }
    fw::UniqueVariant value;
    return SUCCEEDED(hr) ? enumerator->Next(1, value.put(), nullptr) : hr;
}

HRESULT EnableIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    fw::ComPtr<INetFwOpenPort> port;
    HRESULT hr = OpenPorts(route, ports);
    if (SUCCEEDED(hr)) {
        hr = ports->Item(7, NET_FW_IP_PROTOCOL_UDP, port.put());
    }
    return SUCCEEDED(hr) ? port->put_Enabled(VARIANT_TRUE) : hr;
}

HRESULT EnableFreeStanding()
{
    fw::ComPtr<INetFwOpenPort> port;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port);
    return SUCCEEDED(hr) ? port->put_Enabled(VARIANT_TRUE) : hr;
}

HRESULT ProfileByType(NET_FW_PROFILE_TYPE type)
{
    fw::ComPtr<INetFwMgr> manager;
    fw::ComPtr<INetFwPolicy> policy;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager);
    if (SUCCEEDED(hr)) {
        hr = manager->get_LocalPolicy(policy.put());
    }
    fw::ComPtr<INetFwProfile> profile;
    return SUCCEEDED(hr) ? policy->GetProfileByType(type, profile.put()) : hr;
}

const Probe kProbes[] = {
    {"GetProfileByType(0)", [] { return ProfileByType(NET_FW_PROFILE_DOMAIN); }},
    {"GetProfileByType(1)", [] { return ProfileByType(NET_FW_PROFILE_STANDARD); }},
    {"GetProfileByType(2)", [] { return ProfileByType(NET_FW_PROFILE_CURRENT); }},
    {"Item Domain", [] { return ItemIn(Route::Domain); }},
    {"Item Standard", [] { return ItemIn(Route::Standard); }},
    {"Item Current", [] { return ItemIn(Route::Current); }},
    {"Item CurrentProfile", [] { return ItemIn(Route::CurrentProperty); }},
    {"Count Domain", [] { return CountIn(Route::Domain); }},
    {"Count Current", [] { return CountIn(Route::Current); }},
    {"Next Domain", [] { return NextIn(Route::Domain); }},
    {"Next Standard", [] { return NextIn(Route::Standard); }},
    {"put_Enabled Domain", [] { return EnableIn(Route::Domain); }},
    {"put_Enabled Current", [] { return EnableIn(Route::Current); }},
    {"put_Enabled free-standing", [] { return EnableFreeStanding(); }},
};

TEST_F(FaultsTest, FailHitsOnlyTheNamedMethodInTheNamedProfile)
{
    const struct {
        const char* current;
        const char* fail;
        std::set<std::string> failing;
    } cases[] = {
        {"Standard", "fail Domain INetFwOpenPorts::Item", {"Item Domain", "put_Enabled Domain"}},
        {"Standard", "fail Standard INetFwOpenPorts::Item",
         {"Item Standard", "Item Current", "Item CurrentProfile", "put_Enabled Current"}},
        {"Standard", "fail Current INetFwOpenPorts::Item", {"Item Current", "Item CurrentProfile", "put_Enabled Current"}},
        {"Domain", "fail Current INetFwOpenPorts::Item", {"Item Current", "Item CurrentProfile", "put_Enabled Current"}},
        {"Domain", "fail * INetFwOpenPorts::Item",
         {"Item Domain", "Item Standard", "Item Current", "Item CurrentProfile", "put_Enabled Domain", "put_Enabled Current"}},
        {"Standard", "fail Domain INetFwPolicy::GetProfileByType",
         {"GetProfileByType(0)", "Item Domain", "Count Domain", "Next Domain", "put_Enabled Domain"}},
        {"Domain", "fail Domain INetFwPolicy::GetProfileByType",
         {"GetProfileByType(0)", "GetProfileByType(2)", "Item Domain", "Item Current", "Count Domain", "Count Current",
          "Next Domain", "put_Enabled Domain", "put_Enabled Current"}},
        {"Domain", "fail Current INetFwPolicy::GetProfileByType",
         {"GetProfileByType(2)", "Item Current", "Count Current", "put_Enabled Current"}},
        {"Standard", "fail Standard INetFwPolicy::get_CurrentProfile", {}},
        {"Standard", "fail * INetFwPolicy::get_CurrentProfile", {"Item CurrentProfile"}},
        {"Standard", "fail Current INetFwOpenPorts::get_Count", {"Count Current"}},
        {"Domain", "fail Domain IEnumVARIANT::Next", {"Next Domain"}},
        {"Domain", "fail * IEnumVARIANT::QueryInterface", {"Next Domain", "Next Standard"}},
        {"Standard", "fail Domain INetFwOpenPort::put_Enabled", {"put_Enabled Domain"}},
        {"Standard", "fail * INetFwOpenPort::put_Enabled",
         {"put_Enabled Domain", "put_Enabled Current", "put_Enabled free-standing"}},
        {"Standard", "fail Domain NetFwOpenPort::Create", {}},
        {"Standard", "fail * NetFwOpenPort::Create", {"put_Enabled free-standing"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "current " << c.current << ", " << c.fail);
        SimFwStateFile state(std::string("current ") + c.current +
                             "\nport Domain UDP 7 enabled subnet any user - D\n"
                             "port Standard UDP 7 enabled subnet any user - S\n" +
                             c.fail + " 0x80070005\n");
        std::string before = state.Read();
        for (const Probe& probe : kProbes) {
            bool expectFailure = c.failing.count(probe.name) != 0;
            EXPECT_EQ(expectFailure ? kInjected : S_OK, probe.run()) << probe.name;
        }
        // put_Enabled(true) on enabled ports rewrites the same text; a failing call writes nothing.
        EXPECT_EQ(before, state.Read());
    }
}

TEST_F(FaultsTest, FailingChangeChangesNothing)
{
    const char text[] = "current Standard\nport Domain UDP 7 enabled subnet any user - D\n"
                        "fail Domain INetFwOpenPorts::Add 0x80070005\nfail * INetFwOpenPorts::Remove -2147024891\n"
                        "fail Domain INetFwOpenPort::put_Enabled 0x8007000E\n";
    SimFwStateFile state(text);
    EXPECT_EQ(kInjected, AddPort(Route::Domain, L"New", 8, NET_FW_IP_PROTOCOL_UDP));
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    EXPECT_EQ(kInjected, ports->Remove(7, NET_FW_IP_PROTOCOL_UDP));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, ports->Item(7, NET_FW_IP_PROTOCOL_UDP, port.put()));
    EXPECT_EQ(E_OUTOFMEMORY, port->put_Enabled(VARIANT_FALSE));
    EXPECT_EQ(text, state.Read());
    LONG count = 0;
    EXPECT_EQ(S_OK, ports->get_Count(&count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(S_OK, AddPort(Route::Standard, L"New", 8, NET_FW_IP_PROTOCOL_UDP));
}

TEST_F(FaultsTest, UnavailableMeansNoFirewallClasses)
{
    SimFwStateFile state("unavailable\nport Domain UDP 7 enabled subnet any user - D\n");
    fw::ComPtr<INetFwMgr> manager;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
    fw::ComPtr<INetFwOpenPort> port;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
    ASSERT_TRUE(state.Write("fail * NetFwMgr::Create 0x80004005\n"));
    EXPECT_EQ(E_FAIL, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
    EXPECT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
}

TEST_F(FaultsTest, DelaySleepsBeforeTheCallWhateverTheProfile)
{
    SimFwStateFile state("delay INetFwOpenPorts::get_Count 400\nfail * INetFwOpenPorts::get_Count 0x80070005\n");
    for (Route route : {Route::Domain, Route::CurrentProperty}) {
        fw::ComPtr<INetFwOpenPorts> ports;
        DWORD start = ::GetTickCount();
        ASSERT_EQ(S_OK, OpenPorts(route, ports));
        EXPECT_LT(::GetTickCount() - start, 300u);
        LONG count = 0;
        start = ::GetTickCount();
        EXPECT_EQ(kInjected, ports->get_Count(&count)); // the delay comes before the failure
        DWORD elapsed = ::GetTickCount() - start;
        EXPECT_GE(elapsed, 350u); // GetTickCount moves in steps
        EXPECT_LT(elapsed, 2000u);
    }
}

} // namespace
} // namespace simfwtest
