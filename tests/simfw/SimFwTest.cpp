// simfw.dll through COM activation of the registered DLL, as the product reaches it. The firewall
// layer's tests already read every property, name and anomaly back through simfw the way the
// product sees them; these cover what they cannot: routes, matching, the file, threads.

#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include "framework/Com.h"
#include "framework/Handles.h"

#include <gtest/gtest.h>
#include <io.h>
#include <netfw.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <thread>

namespace {

using testsupport::SimFwStateFile;

const HRESULT NotFound = static_cast<HRESULT>(0x80070002);
const HRESULT Denied = static_cast<HRESULT>(0x80070005);

// How a profile is reached: GetProfileByType with 0, 1 or 2, or get_CurrentProfile.
enum class Route { Domain, Standard, Current, CurrentProperty };

HRESULT OpenPorts(Route route, fw::ComPtr<INetFwOpenPorts>& ports)
{
    fw::ComPtr<INetFwMgr> manager;
    fw::ComPtr<INetFwPolicy> policy;
    fw::ComPtr<INetFwProfile> profile;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager);
    if (SUCCEEDED(hr)) {
        hr = manager->get_LocalPolicy(policy.put());
    }
    if (SUCCEEDED(hr)) {
        hr = route == Route::CurrentProperty
                 ? policy->get_CurrentProfile(profile.put())
                 : policy->GetProfileByType(static_cast<NET_FW_PROFILE_TYPE>(route), profile.put());
    }
    return SUCCEEDED(hr) ? profile->get_GloballyOpenPorts(ports.put()) : hr;
}

HRESULT Enumerate(INetFwOpenPorts* ports, fw::ComPtr<IEnumVARIANT>& enumerator)
{
    fw::ComPtr<IUnknown> object;
    HRESULT hr = ports->get__NewEnum(object.put());
    return SUCCEEDED(hr) ? object.QueryTo(IID_IEnumVARIANT, enumerator) : hr;
}

HRESULT Item(INetFwOpenPorts& ports)
{
    fw::ComPtr<INetFwOpenPort> port;
    return ports.Item(7, NET_FW_IP_PROTOCOL_UDP, port.put());
}

HRESULT Next(INetFwOpenPorts& ports)
{
    fw::ComPtr<IEnumVARIANT> enumerator;
    fw::UniqueVariant value;
    HRESULT hr = Enumerate(&ports, enumerator);
    return SUCCEEDED(hr) ? enumerator->Next(1, value.put(), nullptr) : hr;
}

HRESULT Enable(INetFwOpenPorts& ports)
{
    fw::ComPtr<INetFwOpenPort> port;
    HRESULT hr = ports.Item(7, NET_FW_IP_PROTOCOL_UDP, port.put());
    return SUCCEEDED(hr) ? port->put_Enabled(VARIANT_TRUE) : hr;
}

HRESULT EnableNew(INetFwOpenPorts&)
{
    fw::ComPtr<INetFwOpenPort> port;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port);
    return SUCCEEDED(hr) ? port->put_Enabled(VARIANT_TRUE) : hr;
}

// The enumeration one Next(1) at a time: a port's number, or "#vt" for an element that is no port.
std::vector<std::wstring> Walk(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    fw::ComPtr<IEnumVARIANT> enumerator;
    if (FAILED(OpenPorts(route, ports)) || FAILED(Enumerate(ports.get(), enumerator))) {
        return {L"no enumerator"};
    }
    std::vector<std::wstring> elements;
    fw::UniqueVariant value;
    ULONG fetched = 0;
    while (enumerator->Next(1, value.put(), &fetched) == S_OK && fetched == 1) {
        fw::ComPtr<INetFwOpenPort> port;
        LONG number = 0;
        const bool isPort = V_VT(value.get()) == VT_DISPATCH &&
                            SUCCEEDED(V_DISPATCH(value.get())->QueryInterface(IID_INetFwOpenPort, port.put_void())) &&
                            SUCCEEDED(port->get_Port(&number));
        elements.push_back(isPort ? std::to_wstring(number) : L"#" + std::to_wstring(V_VT(value.get())));
    }
    EXPECT_EQ(0u, fetched) << "the enumeration ends with S_FALSE and nothing fetched";
    return elements;
}

LONG CountIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    LONG count = -1;
    return SUCCEEDED(OpenPorts(route, ports)) && SUCCEEDED(ports->get_Count(&count)) ? count : -1;
}

// COM for the test's thread; every simfw object released by the end of the test.
class SimFw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, com_.Result());
        ASSERT_EQ(0, testsupport::SimFwLiveObjects()) << "simfw is not answering";
    }
    void TearDown() override { EXPECT_EQ(0, testsupport::SimFwLiveObjects()) << "simfw objects left alive"; }

private:
    fw::ComInit com_;
};

TEST_F(SimFw, OneChangeWritesTheWholeFileCanonically)
{
    SimFwStateFile state("\xEF\xBB\xBF# odd spellings, CRLF and a BOM\r\n"
                         "\r\n"
                         "fail Domain INetFwOpenPorts::Remove 0x80070005\r\n"
                         "port standard 17 500 ENABLED 2 2 User 10.0.0.1 VPN  two  blanks \r\n"
                         "  PORT Domain tcp 80 Disabled all V4 BUILTIN - Web\r\n"
                         "Current Domain\n"
                         "port Domain 1 8 enabled subnet v6 user -\n"
                         "port Domain 17 7 disabled 1 1 user -\n"
                         "delay   IEnumVARIANT::Next 0\n"
                         "undercount current 1\n"
                         "nonport Standard 3 empty\n"
                         "grow Standard 1 Later\n");
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    ASSERT_EQ(S_OK, Enable(*ports.get()));
    EXPECT_EQ("current Domain\n"
              "port Domain TCP 80 disabled all v4 builtin - Web\n"
              "port Domain 1 8 enabled subnet v6 user -\n"
              "port Domain UDP 7 enabled subnet v6 user -\n"
              "port Standard UDP 500 enabled custom any user 10.0.0.1 VPN  two  blanks \n"
              "fail Domain INetFwOpenPorts::Remove 0x80070005\n"
              "delay   IEnumVARIANT::Next 0\n"
              "undercount current 1\n"
              "nonport Standard 3 empty\n"
              "grow Standard 1 Later\n",
              state.Read());
}

// What simfw writes to standard error while `run` runs.
std::string StandardErrorOf(const std::function<void()>& run)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::tmpfile(), std::fclose);
    if (!file) {
        return "no temporary file";
    }
    const HANDLE previous = ::GetStdHandle(STD_ERROR_HANDLE);
    ::SetStdHandle(STD_ERROR_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get()))));
    run();
    ::SetStdHandle(STD_ERROR_HANDLE, previous);
    std::rewind(file.get());
    std::string text;
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST_F(SimFw, UnavailableOrBrokenFileFailsEveryCreation)
{
    const struct {
        const char* line;
        HRESULT manager;
        HRESULT port;
        const char* reason; // null: the file is fine, nothing is said
    } cases[] = {
        {"unavailable", REGDB_E_CLASSNOTREG, REGDB_E_CLASSNOTREG, nullptr},
        {"fail * NetFwMgr::Create 0x80004005", E_FAIL, S_OK, nullptr},
        {"allow Domain UDP 1", E_FAIL, E_FAIL, "unknown statement"},
        {"port Domain UDP 70000 enabled subnet any user - x", E_FAIL, E_FAIL, "PORT"},
        {"port Domain UDP 1 enabled subnet any user", E_FAIL, E_FAIL, "REMOTE"},
        {"port Domain UDP 9 enabled subnet any user - \xFF\xFE", E_FAIL, E_FAIL, "UTF-8"},
        {"port Domain UDP 58140 enabled all any user - again", E_FAIL, E_FAIL, "already"},
        {"current Standard", E_FAIL, E_FAIL, "second current"},
        {"fail Domain INetFwOpenPorts::add 0x80070005", E_FAIL, E_FAIL, "METHOD"},
        {"fail Domain INetFwOpenPorts::Add E_ACCESSDENIED", E_FAIL, E_FAIL, "HRESULT"},
        {"fail Domain INetFwOpenPorts::Add 0", E_FAIL, E_FAIL, "S_OK"},
        {"delay INetFwOpenPorts::Add soon", E_FAIL, E_FAIL, "MILLISECONDS"},
        {"unavailable now", E_FAIL, E_FAIL, "unexpected text"},
        {"undercount Domain -1", E_FAIL, E_FAIL, "N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SimFwStateFile state(std::string("current Domain\nport Domain UDP 58140 enabled subnet any user - M\n") +
                             c.line + "\n");
        const std::string message = StandardErrorOf([&] {
            fw::ComPtr<INetFwMgr> manager;
            fw::ComPtr<INetFwOpenPort> port;
            EXPECT_EQ(c.manager, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
            EXPECT_EQ(c.port, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
        });
        if (!c.reason) {
            EXPECT_EQ("", message);
            continue;
        }
        EXPECT_NE(std::string::npos, message.find(state.Path() + ": line 3: ")) << message;
        EXPECT_NE(std::string::npos, message.find(c.reason)) << message;
        EXPECT_NE(std::string::npos, message.find(std::string(": ") + c.line + "\n")) << message;
    }
}

TEST_F(SimFw, CollectionIsKeyedByNumberAndProtocolInItsProfile)
{
    SimFwStateFile state("port Domain UDP 58140 enabled subnet any user - Monitor\n"
                         "port Domain UDP 1 enabled subnet any user - One\n"
                         "port Standard TCP 80 disabled all v4 builtin - Web\n");
    fw::ComPtr<INetFwOpenPorts> domain;
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, domain));
    EXPECT_EQ(1, testsupport::SimFwLiveObjects()) << "manager, policy and profile are released already";
    EXPECT_EQ(NotFound, domain->Item(58140, NET_FW_IP_PROTOCOL_TCP, port.put()));
    EXPECT_EQ(NotFound, domain->Item(80, NET_FW_IP_PROTOCOL_TCP, port.put()));
    EXPECT_EQ(NotFound, domain->Remove(80, NET_FW_IP_PROTOCOL_TCP));
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
    EXPECT_EQ(2, testsupport::SimFwLiveObjects());
    EXPECT_EQ(E_INVALIDARG, domain->Add(port.get())) << "no number set";
    // As made: TCP, scope all, any IP version, enabled, user, no name.
    ASSERT_EQ(S_OK, port->put_Port(58140));
    EXPECT_EQ(S_OK, domain->Add(port.get())); // a new key: appended
    ASSERT_EQ(S_OK, port->put_Protocol(NET_FW_IP_PROTOCOL_UDP));
    EXPECT_EQ(S_OK, domain->Add(port.get())); // overwrites Monitor in its place; the TCP copy stays as added
    EXPECT_EQ((std::vector<std::string>{"port Domain UDP 58140 enabled all any user -",
                                        "port Domain UDP 1 enabled subnet any user - One",
                                        "port Domain TCP 58140 enabled all any user -",
                                        "port Standard TCP 80 disabled all v4 builtin - Web"}),
              state.PortLines());
}

// What Windows documents as invalid is refused and changes nothing: a custom scope set as such,
// a scope out of range, a null or malformed address list. A valid list sets the scope it stands
// for; a predefined scope replaces the list. A new port has scope all and the list "*".
TEST_F(SimFw, ScopeAndAddressListTakeOnlyWhatWindowsAccepts)
{
    SimFwStateFile state;
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
    const auto scopeAndList = [&port] {
        NET_FW_SCOPE scope = NET_FW_SCOPE_MAX;
        fw::UniqueBstr list;
        port->get_Scope(&scope);
        port->get_RemoteAddresses(list.put());
        return std::to_wstring(scope) + L" " + (list ? list.get() : L"(null)");
    };
    EXPECT_EQ(L"0 *", scopeAndList());
    const LONG List = 0x7FFF; // the step sets the list, not the scope
    const struct {
        LONG scope;
        const wchar_t* list;
        HRESULT result;
        const wchar_t* after;
    } steps[] = {
        {List, L"10.0.0.0/255.0.0.0,LocalSubnet", S_OK, L"2 10.0.0.0/255.0.0.0,LocalSubnet"},
        {NET_FW_SCOPE_CUSTOM, nullptr, E_INVALIDARG, L"2 10.0.0.0/255.0.0.0,LocalSubnet"},
        {List, nullptr, E_INVALIDARG, L"2 10.0.0.0/255.0.0.0,LocalSubnet"},
        {List, L"10.0.0.2/8,10.1.2.3", S_OK, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"*,10.0.0.1", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"LocalSubnet,", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"10.0.0.256", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"10.0.0.1/33", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"10.0.0.1/255.0.0", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {List, L"10.0.0.1 ", E_INVALIDARG, L"2 10.0.0.2/8,10.1.2.3"},
        {NET_FW_SCOPE_LOCAL_SUBNET, nullptr, S_OK, L"1 LocalSubnet"},
        {NET_FW_SCOPE_MAX, nullptr, E_INVALIDARG, L"1 LocalSubnet"},
        {-1, nullptr, E_INVALIDARG, L"1 LocalSubnet"},
        {List, L"*", S_OK, L"0 *"},
        {List, L"localsubnet,LocalSubnet", S_OK, L"1 localsubnet,LocalSubnet"},
        {NET_FW_SCOPE_ALL, nullptr, S_OK, L"0 *"},
    };
    for (const auto& step : steps) {
        const fw::UniqueBstr list(step.list ? ::SysAllocString(step.list) : nullptr);
        SCOPED_TRACE(testing::Message() << "scope " << step.scope << ", list " << (step.list ? step.list : L"null"));
        EXPECT_EQ(step.result, step.scope == List ? port->put_RemoteAddresses(list.get())
                                                  : port->put_Scope(static_cast<NET_FW_SCOPE>(step.scope)));
        EXPECT_EQ(step.after, scopeAndList());
    }
}

// Which objects a `fail` line reaches: those bound to its profile (the profile, its collection,
// the collection's ports and enumerators), those reached by the current-profile route, or all.
TEST_F(SimFw, FailHitsOnlyTheNamedMethodInTheNamedProfile)
{
    const struct {
        const char* name;
        Route route;
        HRESULT (*call)(INetFwOpenPorts&);
    } probes[] = {
        {"Item Domain", Route::Domain, Item},
        {"Item Standard", Route::Standard, Item},
        {"Item Current", Route::Current, Item},
        {"Item CurrentProfile", Route::CurrentProperty, Item},
        {"Next Domain", Route::Domain, Next},
        {"Next Standard", Route::Standard, Next},
        {"put_Enabled Domain", Route::Domain, Enable},
        {"put_Enabled Current", Route::Current, Enable},
        {"put_Enabled free-standing", Route::Standard, EnableNew},
    };
    const struct {
        const char* current;
        const char* fail;
        std::set<std::string> failing;
    } cases[] = {
        {"Standard", "Standard INetFwOpenPorts::Item -2147024891",
         {"Item Standard", "Item Current", "Item CurrentProfile", "put_Enabled Current"}},
        {"Standard", "Current INetFwOpenPorts::Item 0x80070005",
         {"Item Current", "Item CurrentProfile", "put_Enabled Current"}},
        {"Domain", "Domain INetFwPolicy::GetProfileByType 0x80070005",
         {"Item Domain", "Item Current", "Next Domain", "put_Enabled Domain", "put_Enabled Current"}},
        {"Domain", "Current INetFwPolicy::GetProfileByType 0x80070005", {"Item Current", "put_Enabled Current"}},
        {"Standard", "Standard INetFwPolicy::get_CurrentProfile 0x80070005", {}},
        {"Domain", "Domain IEnumVARIANT::Next 0x80070005", {"Next Domain"}},
        {"Standard", "Domain INetFwOpenPort::put_Enabled 0x80070005", {"put_Enabled Domain"}},
        {"Standard", "* INetFwOpenPort::put_Enabled 0x80070005",
         {"put_Enabled Domain", "put_Enabled Current", "put_Enabled free-standing"}},
        {"Standard", "* NetFwOpenPort::Create 0x80070005", {"put_Enabled free-standing"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "current " << c.current << ", fail " << c.fail);
        SimFwStateFile state(std::string("current ") + c.current +
                             "\nport Domain UDP 7 enabled subnet any user - D\n"
                             "port Standard UDP 7 enabled subnet any user - S\n"
                             "fail " + c.fail + "\n");
        const std::string before = state.Read();
        for (const auto& probe : probes) {
            fw::ComPtr<INetFwOpenPorts> ports;
            HRESULT hr = OpenPorts(probe.route, ports);
            EXPECT_EQ(c.failing.count(probe.name) ? Denied : S_OK, SUCCEEDED(hr) ? probe.call(*ports.get()) : hr)
                << probe.name;
        }
        // put_Enabled(true) on enabled ports writes the same text again; a failing call writes nothing.
        EXPECT_EQ(before, state.Read());
    }
}

TEST_F(SimFw, DelayComesBeforeTheCallAndItsFault)
{
    SimFwStateFile state("delay INetFwOpenPorts::get_Count 1500\nfail * INetFwOpenPorts::get_Count 0x80070005\n");
    fw::ComPtr<INetFwOpenPorts> ports;
    DWORD start = ::GetTickCount();
    ASSERT_EQ(S_OK, OpenPorts(Route::CurrentProperty, ports));
    EXPECT_LT(::GetTickCount() - start, 1400u) << "only the named method waits";
    LONG count = 0;
    start = ::GetTickCount();
    EXPECT_EQ(Denied, ports->get_Count(&count));
    EXPECT_GE(::GetTickCount() - start, 1450u); // GetTickCount moves in steps
}

TEST_F(SimFw, AnomaliesChangeWhatTheCollectionReports)
{
    SimFwStateFile state("current Domain\n"
                         "port Domain UDP 1 enabled subnet any user - a\n"
                         "port Domain UDP 2 enabled subnet any user - b\n"
                         "port Standard TCP 3 enabled subnet any user - c\n"
                         "undercount Domain 1\nundercount Current 5\n"
                         "nonport Domain 1\nnonport Domain 0 empty\nnonport Domain 99 number\n"
                         "grow Standard 2 Late\n");
    EXPECT_EQ(1, CountIn(Route::Domain));
    EXPECT_EQ(0, CountIn(Route::Current)) << "matching lines add up, never below 0";
    // Each extra element at its own position (99: last): VT_EMPTY, a dispatch object without
    // INetFwOpenPort, VT_I4.
    EXPECT_EQ((std::vector<std::wstring>{L"#0", L"#9", L"1", L"2", L"#3"}), Walk(Route::Domain));
    EXPECT_EQ(std::vector<std::wstring>{L"3"}, Walk(Route::Standard)) << "no growth before a count";
    EXPECT_EQ(1, CountIn(Route::Standard));
    EXPECT_EQ((std::vector<std::wstring>{L"3", L"20000", L"20001"}), Walk(Route::Standard));
    EXPECT_EQ("port Standard UDP 20001 enabled subnet any user - Late", state.PortLines().back());
}

// Threads with their own COM apartments write the one file at once; a reader never sees it torn.
TEST_F(SimFw, RacingWritersNeverTearTheFile)
{
    const std::string text = "current Standard\n"
                             "port Domain UDP 7 enabled subnet any user - " + std::string(3000, 'x') + "\n"
                             "port Standard UDP 7 enabled subnet any user - " + std::string(3000, 'y') + "\n";
    SimFwStateFile state(text);
    std::atomic<bool> stop{false};
    auto writer = [&](Route route) {
        fw::ComInit com;
        while (!stop) {
            fw::ComPtr<INetFwOpenPorts> ports;
            if (SUCCEEDED(OpenPorts(route, ports))) {
                Enable(*ports.get());
            }
        }
    };
    std::thread domain(writer, Route::Domain);
    std::thread standard(writer, Route::Standard);
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
