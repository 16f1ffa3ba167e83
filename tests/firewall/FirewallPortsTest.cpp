#include "FirewallTestUtil.h"

#include <cstring>

namespace {

using Ports = SimFwTest;

const char BaseState[] = "port Domain UDP 58140 enabled subnet any user - Monitor\n"
                         "port Standard UDP 58140 disabled subnet any user - Monitor\n"
                         "port Standard TCP 80 enabled all v4 builtin - Web\n";

HRESULT AddNewPort()
{
    return AddOrEnableOpenPort(ProfileType::Standard, L"New", IpVersionAny, ProtocolUdp, 4000, ScopeCustom,
                               L"10.0.0.0/255.0.0.0", true);
}
HRESULT EnableExisting()
{
    return AddOrEnableOpenPort(ProfileType::Standard, L"Other", IpVersionAny, ProtocolUdp, 58140, ScopeLocalSubnet,
                               nullptr, true);
}
HRESULT RemoveExisting() { return RemoveOpenPort(ProfileType::Standard, 58140, ProtocolUdp); }
HRESULT ListStandard() { return TakeSnapshot(ProfileType::Standard).result; }

struct FaultCase {
    const char* label;
    HRESULT (*operation)();
    const char* fault;
    HRESULT expected;
    const char* portsAfter; // null: the ports stay as they were
};

const FaultCase FaultCases[] = {
    {"add: manager", AddNewPort, "fail * NetFwMgr::Create 0x80040154", REGDB_E_CLASSNOTREG, nullptr},
    {"add: policy", AddNewPort, "fail * INetFwMgr::get_LocalPolicy 0x8007000E", E_OUTOFMEMORY, nullptr},
    {"add: profile", AddNewPort, "fail Standard INetFwPolicy::GetProfileByType 0x80070005", E_ACCESSDENIED, nullptr},
    {"add: collection", AddNewPort, "fail Standard INetFwProfile::get_GloballyOpenPorts 0x80004005", E_FAIL, nullptr},
    {"add: port object", AddNewPort, "fail * NetFwOpenPort::Create 0x80004002", E_NOINTERFACE, nullptr},
    {"add: name", AddNewPort, "fail * INetFwOpenPort::put_Name 0x80070057", E_INVALIDARG, nullptr},
    {"add: ip version", AddNewPort, "fail * INetFwOpenPort::put_IpVersion 0x80070057", E_INVALIDARG, nullptr},
    {"add: protocol", AddNewPort, "fail * INetFwOpenPort::put_Protocol 0x80070057", E_INVALIDARG, nullptr},
    {"add: port", AddNewPort, "fail * INetFwOpenPort::put_Port 0x80070057", E_INVALIDARG, nullptr},
    {"add: scope", AddNewPort, "fail * INetFwOpenPort::put_Scope 0x80070057", E_INVALIDARG, nullptr},
    {"add: remote", AddNewPort, "fail * INetFwOpenPort::put_RemoteAddresses 0x80070057", E_INVALIDARG, nullptr},
    {"add: enabled", AddNewPort, "fail * INetFwOpenPort::put_Enabled 0x80070057", E_INVALIDARG, nullptr},
    {"add: add", AddNewPort, "fail Standard INetFwOpenPorts::Add 0x80070005", E_ACCESSDENIED, nullptr},
    {"add: other profile's fault", AddNewPort, "fail Domain INetFwOpenPorts::Add 0x80070005", S_OK,
     "port Domain UDP 58140 enabled subnet any user - Monitor\n"
     "port Standard UDP 58140 disabled subnet any user - Monitor\n"
     "port Standard TCP 80 enabled all v4 builtin - Web\n"
     "port Standard UDP 4000 enabled custom any user 10.0.0.0/255.0.0.0 New\n"},
    {"enable: put_Enabled", EnableExisting, "fail Standard INetFwOpenPort::put_Enabled 0x80070005", E_ACCESSDENIED,
     nullptr},
    {"remove: remove", RemoveExisting, "fail Standard INetFwOpenPorts::Remove 0x80070005", E_ACCESSDENIED, nullptr},
    {"remove: profile", RemoveExisting, "fail Standard INetFwPolicy::GetProfileByType 0x80070005", E_ACCESSDENIED,
     nullptr},
    {"remove: item fails otherwise", RemoveExisting, "fail Standard INetFwOpenPorts::Item 0x80004005", S_OK,
     "port Domain UDP 58140 enabled subnet any user - Monitor\n"
     "port Standard TCP 80 enabled all v4 builtin - Web\n"},
    {"list: count", ListStandard, "fail Standard INetFwOpenPorts::get_Count 0x80004005", E_FAIL, nullptr},
    {"list: enum", ListStandard, "fail Standard INetFwOpenPorts::get__NewEnum 0x80004005", E_FAIL, nullptr},
    {"list: next", ListStandard, "fail Standard IEnumVARIANT::Next 0x80004005", E_FAIL, nullptr},
    {"list: name", ListStandard, "fail Standard INetFwOpenPort::get_Name 0x80004005", E_FAIL, nullptr},
    {"list: ip version", ListStandard, "fail Standard INetFwOpenPort::get_IpVersion 0x80004005", E_FAIL, nullptr},
    {"list: protocol", ListStandard, "fail Standard INetFwOpenPort::get_Protocol 0x80004005", E_FAIL, nullptr},
    {"list: port", ListStandard, "fail Standard INetFwOpenPort::get_Port 0x80004005", E_FAIL, nullptr},
    {"list: scope", ListStandard, "fail Standard INetFwOpenPort::get_Scope 0x80004005", E_FAIL, nullptr},
    {"list: remote", ListStandard, "fail Standard INetFwOpenPort::get_RemoteAddresses 0x80004005", E_FAIL, nullptr},
    {"list: enabled", ListStandard, "fail Standard INetFwOpenPort::get_Enabled 0x80004005", E_FAIL, nullptr},
    {"list: built-in", ListStandard, "fail Standard INetFwOpenPort::get_BuiltIn 0x80004005", E_FAIL, nullptr},
    {"list: enumerator interface", ListStandard, "fail Standard IEnumVARIANT::QueryInterface 0x80004002",
     E_NOINTERFACE, nullptr},
    {"list: port interface", ListStandard, "fail Standard INetFwOpenPort::QueryInterface 0x80004002",
     E_NOINTERFACE, nullptr},
    {"list: element without port", ListStandard, "nonport Standard 1", E_NOINTERFACE, nullptr},
    {"list: empty element", ListStandard, "nonport Standard 1 empty", DISP_E_TYPEMISMATCH, nullptr},
    {"list: number element", ListStandard, "nonport Standard 0 number", DISP_E_TYPEMISMATCH, nullptr},
    {"add: success without policy", AddNewPort, "fail * INetFwMgr::get_LocalPolicy 1", E_POINTER, nullptr},
    {"list: success without enumerator", ListStandard, "fail Standard INetFwOpenPorts::get__NewEnum 1", E_POINTER,
     nullptr},
    {"probe: unavailable", ProbeFirewall, "unavailable", REGDB_E_CLASSNOTREG, nullptr},
    {"probe: current profile", ProbeFirewall, "fail Current INetFwPolicy::GetProfileByType 0x80070005",
     E_ACCESSDENIED, nullptr},
};

TEST_F(Ports, EachPlatformFaultIsReturnedAndChangesNothing)
{
    for (const FaultCase& c : FaultCases) {
        SCOPED_TRACE(c.label);
        testsupport::SimFwStateFile state(std::string(BaseState) + c.fault + "\n");
        ASSERT_TRUE(state.Ok());
        EXPECT_EQ(c.expected, c.operation());
        EXPECT_EQ(c.portsAfter ? c.portsAfter : BaseState, PortLines(state));
        EXPECT_EQ(0, testsupport::SimFwLiveObjects());
    }
}

TEST_F(Ports, AddWritesNewPortAndOnlyEnablesExistingOne)
{
    testsupport::SimFwStateFile state("port Standard UDP 58140 disabled all v4 user - Other name\n");
    // Scope local subnet: the remote addresses are not handed over.
    EXPECT_EQ(S_OK, AddOrEnableOpenPort(ProfileType::Domain, L"New", IpVersionAny, ProtocolUdp, 58140,
                                        ScopeLocalSubnet, L"10.0.0.0/255.0.0.0", true));
    EXPECT_EQ(S_OK, AddOrEnableOpenPort(ProfileType::Standard, L"New", IpVersionAny, ProtocolUdp, 58140,
                                        ScopeLocalSubnet, nullptr, true));
    EXPECT_EQ(S_OK, AddOrEnableOpenPort(ProfileType::Domain, L"Off", IpVersionAny, ProtocolTcp, 21, ScopeAll,
                                        nullptr, false));
    EXPECT_EQ("port Domain UDP 58140 enabled subnet any user - New\n"
              "port Domain TCP 21 disabled all any user - Off\n"
              "port Standard UDP 58140 enabled all v4 user - Other name\n",
              PortLines(state));
}

TEST_F(Ports, RemoveOfAbsentPortNeverCallsRemove)
{
    testsupport::SimFwStateFile state("port Standard TCP 58140 enabled all v4 user - Tcp\n"
                                      "fail Standard INetFwOpenPorts::Remove 0x80070005\n");
    EXPECT_EQ(S_OK, RemoveOpenPort(ProfileType::Standard, 58140, ProtocolUdp));
    EXPECT_EQ(S_OK, RemoveOpenPort(ProfileType::Domain, 58140, ProtocolTcp));
    EXPECT_EQ("port Standard TCP 58140 enabled all v4 user - Tcp\n", PortLines(state));
}

TEST_F(Ports, SnapshotHoldsEveryField)
{
    testsupport::SimFwStateFile state("port Standard TCP 80 disabled all v4 builtin - Web server\n"
                                      "port Standard UDP 500 enabled custom v6 user 10.0.0.0/255.0.0.0,LocalSubnet "
                                      "VPN ドライバ\n"
                                      "port Domain UDP 1 enabled all any user - Elsewhere\n");
    const Snapshot s = TakeSnapshot(ProfileType::Standard);
    EXPECT_EQ(1, s.result);
    EXPECT_EQ(OpenPortTableSize(2), s.size);
    ASSERT_EQ(2, s.count);
    const OpenPortRecord& web = s.records[0];
    EXPECT_STREQ("Web server", web.name);
    EXPECT_EQ(0, web.ipVersion);
    EXPECT_EQ(ProtocolTcp, web.protocol);
    EXPECT_EQ(80, web.port);
    EXPECT_EQ(ScopeAll, web.scope);
    EXPECT_EQ(0, web.enabled);
    EXPECT_NE(0, web.builtIn);
    const OpenPortRecord& vpn = s.records[1];
    EXPECT_EQ(Ansi("VPN ドライバ"), vpn.name);
    EXPECT_EQ(1, vpn.ipVersion);
    EXPECT_EQ(ProtocolUdp, vpn.protocol);
    EXPECT_EQ(500, vpn.port);
    EXPECT_EQ(ScopeCustom, vpn.scope);
    EXPECT_STREQ("10.0.0.0/255.0.0.0,LocalSubnet", vpn.remoteAddresses);
    EXPECT_NE(0, vpn.enabled);
    EXPECT_EQ(0, vpn.builtIn);
}

TEST_F(Ports, SizeProtocolEdges)
{
    testsupport::SimFwStateFile state("port Standard UDP 1 enabled all any user - One\n");
    uint32_t size = 0;
    EXPECT_EQ(-1, ListOpenPorts(ProfileType::Domain, nullptr, 0, &size));
    EXPECT_EQ(4u, size);
    int32_t empty = -7;
    EXPECT_EQ(1, ListOpenPorts(ProfileType::Domain, &empty, sizeof empty, &size));
    EXPECT_EQ(0, empty);

    std::vector<char> block(OpenPortTableSize(1), '\x5a');
    size = 0;
    EXPECT_EQ(-1, ListOpenPorts(ProfileType::Standard, block.data(), OpenPortTableSize(1) - 1, &size));
    EXPECT_EQ(OpenPortTableSize(1), size);
    EXPECT_EQ(std::vector<char>(OpenPortTableSize(1), '\x5a'), block);
}

TEST_F(Ports, MoreElementsThanCountNeverOverrunTheTable)
{
    testsupport::SimFwStateFile state("port Standard UDP 1 enabled all any user - One\n"
                                      "port Standard UDP 2 enabled all any user - Two\n"
                                      "port Standard UDP 3 enabled all any user - Three\n"
                                      "undercount Standard 1\n");
    uint32_t size = 0;
    ListOpenPorts(ProfileType::Standard, nullptr, 0, &size);
    ASSERT_EQ(OpenPortTableSize(2), size);
    std::vector<char> block(size + sizeof(OpenPortRecord), '\0');
    std::memset(block.data() + size, 0x5a, sizeof(OpenPortRecord));
    EXPECT_EQ(1, ListOpenPorts(ProfileType::Standard, block.data(), size, &size));
    EXPECT_EQ(2, reinterpret_cast<const OpenPortTable*>(block.data())->count);
    EXPECT_STREQ("Two", OpenPortTableRecord(block.data(), 1)->name);
    EXPECT_EQ(std::vector<char>(sizeof(OpenPortRecord), '\x5a'), std::vector<char>(block.begin() + size, block.end()));
}

// Names are held in code page 932 whatever the system's code page: a character it lacks becomes
// its best fit or '?', a text longer than the field is cut after its last whole character.
TEST_F(Ports, TextsBecomeWholeCodePage932Characters)
{
    const std::string drive = "ド"; // two bytes in code page 932
    const std::string remote600 = [] {
        std::string list = "10.0.0.1/255.255.255.255";
        while (list.size() < 600) {
            list += ",10.0.0.1/255.255.255.255";
        }
        return list;
    }();
    struct {
        std::string name;
        std::string remote;
        std::string expectedName; // code page 932
        size_t expectedRemoteLength;
    } const cases[] = {
        {std::string(259, 'a'), "-", std::string(259, 'a'), 0},
        {std::string(260, 'b'), "-", std::string(259, 'b'), 0},
        {std::string(600, 'c'), remote600, std::string(259, 'c'), 259},
        {std::string(257, 'd') + drive, "-", std::string(257, 'd') + Ansi(drive), 0},
        {std::string(258, 'e') + drive + "f", "-", std::string(258, 'e'), 0},
        {"Téssaly 한", "-", "Tessaly ?", 0},
        {std::string(258, 'g') + "한" + drive, "-", std::string(258, 'g') + "?", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.size());
        testsupport::SimFwStateFile state("port Standard UDP 9 enabled custom any user " + c.remote + " " + c.name +
                                          "\n");
        const Snapshot s = TakeSnapshot(ProfileType::Standard);
        ASSERT_EQ(1, s.result);
        ASSERT_EQ(1u, s.records.size());
        EXPECT_EQ(c.expectedName, std::string(s.records[0].name));
        EXPECT_EQ(0, std::memcmp(remote600.data(), s.records[0].remoteAddresses, c.expectedRemoteLength));
        EXPECT_EQ(c.expectedRemoteLength, std::strlen(s.records[0].remoteAddresses));
    }
}

TEST_F(Ports, ComUseOfTheCallingThreadIsBalanced)
{
    testsupport::SimFwStateFile state;
    // Already initialised: the operation's own use (S_FALSE) is ended, the caller's stays.
    ASSERT_EQ(S_OK, ::CoInitialize(nullptr));
    EXPECT_EQ(S_OK, ProbeFirewall());
    EXPECT_EQ(S_FALSE, ::CoInitialize(nullptr));
    ::CoUninitialize();
    ::CoUninitialize();
    // A multithreaded apartment refuses CoInitialize: the operation fails and ends nothing.
    ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(RPC_E_CHANGED_MODE, ProbeFirewall());
    EXPECT_EQ(S_FALSE, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ::CoUninitialize();
    ::CoUninitialize();
}

} // namespace
