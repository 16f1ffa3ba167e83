// The firewall layer against simfw.dll in this process: the platform calls, the monitor port's
// set-up and the removal list. No test may leave a simfw object alive.

#include "firewall/FirewallPorts.h"
#include "firewall/MonitorPortConfig.h"
#include "firewall/MonitorPortName.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testsupport::SimFwLiveObjects;
using testsupport::SimFwStateFile;

// `text` with every "%M" replaced by the monitor's name (UTF-8) and every "%P" by `port`.
std::string Expand(std::string text, int32_t port = 0)
{
    for (size_t at = text.find("%M"); at != std::string::npos; at = text.find("%M")) {
        text.replace(at, 2, "Tessaly ドライバ配信 監視プログラム");
    }
    for (size_t at = text.find("%P"); at != std::string::npos; at = text.find("%P")) {
        text.replace(at, 2, std::to_string(port));
    }
    return text;
}

// UTF-8 text in code page 932, as snapshots and removal lists hold it.
std::string Ansi(const std::string& utf8)
{
    wchar_t wide[1024] = {};
    char ansi[2048] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, 1024);
    ::WideCharToMultiByte(932, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

std::string PortLines(const SimFwStateFile& state)
{
    std::string text;
    for (const std::string& line : state.PortLines()) {
        text += line + "\n";
    }
    return text;
}

// A profile's snapshot through the two-call protocol; each record as
// "name|ipVersion|protocol|port|scope|remoteAddresses|enabled|builtIn".
struct Snapshot {
    HRESULT result = E_FAIL;
    uint32_t size = 0;
    int32_t count = 0;
    std::vector<std::string> records;
};

Snapshot TakeSnapshot(ProfileType profile)
{
    Snapshot snapshot;
    ListOpenPorts(profile, nullptr, 0, &snapshot.size);
    std::vector<char> block(snapshot.size);
    snapshot.result = ListOpenPorts(profile, block.data(), snapshot.size, &snapshot.size);
    if (block.size() >= 4) {
        snapshot.count = reinterpret_cast<const OpenPortTable*>(block.data())->count;
    }
    for (uint32_t i = 0; OpenPortTableSize(i + 1) <= block.size(); ++i) {
        const OpenPortRecord& r = *OpenPortTableRecord(block.data(), i);
        snapshot.records.push_back(std::string(r.name) + "|" + std::to_string(r.ipVersion) + "|" +
                                   std::to_string(r.protocol) + "|" + std::to_string(r.port) + "|" +
                                   std::to_string(r.scope) + "|" + r.remoteAddresses + "|" +
                                   std::to_string(r.enabled) + "|" + std::to_string(r.builtIn));
    }
    return snapshot;
}

class Firewall : public ::testing::Test {
protected:
    // Also pins simfw.dll, so that the count at the end outlives COM's unloading.
    void SetUp() override { ASSERT_EQ(0, SimFwLiveObjects()) << "simfw is not answering"; }
    void TearDown() override { EXPECT_EQ(0, SimFwLiveObjects()); }
};

// --- FirewallPorts -------------------------------------------------------------------------------

const std::string BaseState = "port Domain UDP 58140 enabled subnet any user - Monitor\n"
                              "port Standard UDP 58140 disabled subnet any user - Monitor\n"
                              "port Standard TCP 80 enabled all v4 builtin - Web\n";

HRESULT AddNewPort()
{
    return AddOrEnableOpenPort(ProfileType::Standard, L"New", IpVersionAny, ProtocolUdp, 4000, ScopeCustom,
                               L"10.0.0.0/255.0.0.0", true);
}
HRESULT AddSubnetPort()
{
    return AddOrEnableOpenPort(ProfileType::Standard, L"New", IpVersionAny, ProtocolUdp, 4000, ScopeLocalSubnet,
                               L"10.0.0.0/255.0.0.0", true);
}
HRESULT EnableExisting()
{
    return AddOrEnableOpenPort(ProfileType::Standard, L"Other", IpVersionAny, ProtocolUdp, 58140, ScopeLocalSubnet,
                               nullptr, true);
}
bool IsMonitor(const char* name) { return std::string(name) == "Monitor"; }
bool IsWeb(const char* name) { return std::string(name) == "Web"; }
HRESULT RemoveExisting() { return RemoveOpenPort(ProfileType::Standard, 58140, ProtocolUdp, IsMonitor); }
HRESULT RemoveAbsent() { return RemoveOpenPort(ProfileType::Standard, 80, ProtocolUdp, IsMonitor); }
// UDP 58140 is the Standard profile's, but under another name than the one asked for.
HRESULT RemoveRenamed() { return RemoveOpenPort(ProfileType::Standard, 58140, ProtocolUdp, IsWeb); }
HRESULT ListStandard() { return TakeSnapshot(ProfileType::Standard).result; }

struct FaultCase {
    std::string label;
    HRESULT (*operation)();
    std::string fault;
    HRESULT expected;
    const char* portsAfter; // null: the ports stay as they were
};

TEST_F(Firewall, EachPlatformFaultIsReturnedAndChangesNothing)
{
    std::vector<FaultCase> cases = {
        {"add: manager", AddNewPort, "fail * NetFwMgr::Create 0x80040154", REGDB_E_CLASSNOTREG, nullptr},
        {"add: policy", AddNewPort, "fail * INetFwMgr::get_LocalPolicy 0x8007000E", E_OUTOFMEMORY, nullptr},
        {"add: profile", AddNewPort, "fail Standard INetFwPolicy::GetProfileByType 0x80070005", E_ACCESSDENIED, nullptr},
        {"add: collection", AddNewPort, "fail Standard INetFwProfile::get_GloballyOpenPorts 0x80004005", E_FAIL, nullptr},
        {"add: port object", AddNewPort, "fail * NetFwOpenPort::Create 0x80004002", E_NOINTERFACE, nullptr},
        {"add: add", AddNewPort, "fail Standard INetFwOpenPorts::Add 0x80070005", E_ACCESSDENIED, nullptr},
        // A custom scope comes from the address list; another scope is set without it.
        {"add: other profile's fault", AddNewPort, "fail Domain INetFwOpenPorts::Add 0x80070005", S_OK,
         "port Domain UDP 58140 enabled subnet any user - Monitor\n"
         "port Standard UDP 58140 disabled subnet any user - Monitor\n"
         "port Standard TCP 80 enabled all v4 builtin - Web\n"
         "port Standard UDP 4000 enabled custom any user 10.0.0.0/255.0.0.0 New\n"},
        {"add: local subnet", AddSubnetPort, "", S_OK,
         "port Domain UDP 58140 enabled subnet any user - Monitor\n"
         "port Standard UDP 58140 disabled subnet any user - Monitor\n"
         "port Standard TCP 80 enabled all v4 builtin - Web\n"
         "port Standard UDP 4000 enabled subnet any user - New\n"},
        {"enable: put_Enabled", EnableExisting, "fail Standard INetFwOpenPort::put_Enabled 0x80070005", E_ACCESSDENIED,
         nullptr},
        {"remove: remove", RemoveExisting, "fail Standard INetFwOpenPorts::Remove 0x80070005", E_ACCESSDENIED, nullptr},
        // Whose port it is must be known before it is removed.
        {"remove: item fails otherwise", RemoveExisting, "fail Standard INetFwOpenPorts::Item 0x80004005", E_FAIL,
         nullptr},
        {"remove: the name cannot be read", RemoveExisting, "fail Standard INetFwOpenPort::get_Name 0x80004005", E_FAIL,
         nullptr},
        {"remove: another program's port of that number stays", RemoveRenamed,
         "fail Standard INetFwOpenPorts::Remove 0x80070005", S_OK, nullptr},
        {"remove: the port asked for", RemoveExisting, "", S_OK,
         "port Domain UDP 58140 enabled subnet any user - Monitor\n"
         "port Standard TCP 80 enabled all v4 builtin - Web\n"},
        {"remove: absent port, Remove never called", RemoveAbsent, "fail Standard INetFwOpenPorts::Remove 0x80070005",
         S_OK, nullptr},
        {"list: count", ListStandard, "fail Standard INetFwOpenPorts::get_Count 0x80004005", E_FAIL, nullptr},
        {"list: enum", ListStandard, "fail Standard INetFwOpenPorts::get__NewEnum 0x80004005", E_FAIL, nullptr},
        {"list: next", ListStandard, "fail Standard IEnumVARIANT::Next 0x80004005", E_FAIL, nullptr},
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
        {"probe: current profile", ProbeFirewall, "fail Current INetFwPolicy::GetProfileByType 0x80070005",
         E_ACCESSDENIED, nullptr},
    };
    // Every property a new port gets, and every property a snapshot reads.
    for (const char* name : {"Name", "IpVersion", "Protocol", "Port", "Scope", "Enabled"}) {
        cases.push_back({name, AddSubnetPort, std::string("fail * INetFwOpenPort::put_") + name + " 0x80070057",
                         E_INVALIDARG, nullptr});
    }
    cases.push_back({"RemoteAddresses", AddNewPort, "fail * INetFwOpenPort::put_RemoteAddresses 0x80070057",
                     E_INVALIDARG, nullptr});
    for (const char* name : {"Name", "IpVersion", "Protocol", "Port", "Scope", "RemoteAddresses", "Enabled", "BuiltIn"}) {
        cases.push_back({name, ListStandard, std::string("fail Standard INetFwOpenPort::get_") + name + " 0x80004005",
                         E_FAIL, nullptr});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SimFwStateFile state(BaseState + c.fault + "\n");
        ASSERT_TRUE(state.Ok());
        EXPECT_EQ(c.expected, c.operation());
        EXPECT_EQ(c.portsAfter ? c.portsAfter : BaseState, PortLines(state));
        EXPECT_EQ(0, SimFwLiveObjects());
    }
}

TEST_F(Firewall, ComUseOfTheCallingThreadIsBalanced)
{
    SimFwStateFile state;
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

TEST_F(Firewall, SnapshotHoldsEveryFieldOfItsProfile)
{
    SimFwStateFile state("port Standard TCP 80 disabled all v4 builtin - Web server\n"
                         "port Standard UDP 500 enabled custom v6 user 10.0.0.0/255.0.0.0,LocalSubnet VPN ドライバ\n"
                         "port Domain UDP 1 enabled all any user - Elsewhere\n");
    const Snapshot s = TakeSnapshot(ProfileType::Standard);
    EXPECT_EQ(1, s.result);
    EXPECT_EQ(2, s.count);
    EXPECT_EQ((std::vector<std::string>{"Web server|0|6|80|0|*|0|-1",
                                        Ansi("VPN ドライバ|1|17|500|2|10.0.0.0/255.0.0.0,LocalSubnet|-1|0")}),
              s.records);
}

// The two-call size protocol: a buffer one byte short is refused untouched, and an enumeration
// that yields more ports than get_Count reported never writes past the table.
TEST_F(Firewall, SnapshotNeverWritesPastItsBuffer)
{
    SimFwStateFile state("port Standard UDP 1 enabled all any user - One\n"
                         "port Standard UDP 2 enabled all any user - Two\n"
                         "port Standard UDP 3 enabled all any user - Three\n"
                         "undercount Standard 1\n");
    uint32_t size = 0;
    EXPECT_EQ(-1, ListOpenPorts(ProfileType::Domain, nullptr, 0, &size));
    EXPECT_EQ(4u, size);
    int32_t empty = -7;
    EXPECT_EQ(1, ListOpenPorts(ProfileType::Domain, &empty, sizeof empty, &size));
    EXPECT_EQ(0, empty);
    const uint32_t needed = OpenPortTableSize(2);
    std::vector<char> block(needed + sizeof(OpenPortRecord), '\x5a');
    EXPECT_EQ(-1, ListOpenPorts(ProfileType::Standard, block.data(), needed - 1, &size));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(std::vector<char>(block.size(), '\x5a'), block);
    EXPECT_EQ(1, ListOpenPorts(ProfileType::Standard, block.data(), needed, &size));
    EXPECT_EQ(2, reinterpret_cast<const OpenPortTable*>(block.data())->count);
    EXPECT_STREQ("Two", OpenPortTableRecord(block.data(), 1)->name);
    EXPECT_EQ(std::vector<char>(sizeof(OpenPortRecord), '\x5a'), std::vector<char>(block.begin() + needed, block.end()));
}

// Texts are held in code page 932 whatever the system's code page: a character it lacks becomes
// its best fit or '?', a text longer than its field is cut after its last whole character.
TEST_F(Firewall, TextsBecomeWholeCodePage932Characters)
{
    const std::string drive = "ド"; // two bytes in code page 932
    std::string remote600 = "10.0.0.1/255.255.255.255";
    while (remote600.size() < 600) {
        remote600 += ",10.0.0.1/255.255.255.255";
    }
    const struct {
        std::string name;
        std::string remote;
        std::string expectedName; // code page 932
        size_t expectedRemoteLength;
    } cases[] = {
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
        SimFwStateFile state("port Standard UDP 9 enabled custom any user " + c.remote + " " + c.name + "\n");
        const Snapshot s = TakeSnapshot(ProfileType::Standard);
        EXPECT_EQ(1, s.result);
        EXPECT_EQ(std::vector<std::string>{c.expectedName + "|2|17|9|2|" + remote600.substr(0, c.expectedRemoteLength) +
                                           "|-1|0"},
                  s.records);
    }
}

// --- MonitorPortConfig: set-up -------------------------------------------------------------------

// The set-up's precheck and its change, one after the other on the same firewall.
TEST_F(Firewall, SetUpStatusAndChangeOfBothProfiles)
{
    // The precheck asks for the port number the prefix's registry gives.
    MonitorPortConfig config;
    config.ReadPortNumber();
    int32_t port = 0;
    config.GetPortNumber(port);
    const char domain[] = "port Domain UDP %P enabled subnet any user - %M\n";
    const char standard[] = "port Standard UDP %P enabled subnet any user - %M\n";
    const std::string both = std::string(domain) + standard;
    const struct {
        std::string state;
        ConfigStatus status;
        int result;
        std::string portsAfter;
    } cases[] = {
        {"", ConfigStatus::WorkNeeded, 0, both},
        {domain, ConfigStatus::WorkNeeded, 0, both},
        {std::string(domain) + "port Standard UDP %P disabled subnet any user - %M\n", ConfigStatus::WorkNeeded, 0, both},
        {"port Domain UDP %P enabled all v4 user - Other\nport Standard UDP %P enabled subnet any user - X\n",
         ConfigStatus::NothingToDo, 0,
         "port Domain UDP %P enabled all v4 user - Other\nport Standard UDP %P enabled subnet any user - X\n"},
        // An existing port is only switched on, whatever its name and settings.
        {"port Standard UDP %P disabled all v4 user - Old\nport Domain UDP %P enabled custom v6 user 10.0.0.1 %M\n",
         ConfigStatus::WorkNeeded, 0,
         "port Domain UDP %P enabled custom v6 user 10.0.0.1 %M\nport Standard UDP %P enabled all v4 user - Old\n"},
        {both + "fail Domain IEnumVARIANT::Next 0x80004005\n", ConfigStatus::StatusFailed, 0, both},
        {"fail Standard INetFwOpenPorts::get_Count 0x80004005\n", ConfigStatus::StatusFailed, 0, both},
        // Both profiles are tried; what succeeded stays.
        {"fail Domain INetFwOpenPorts::Add 0x80070005\n", ConfigStatus::WorkNeeded, -1, standard},
        {"fail Standard INetFwPolicy::GetProfileByType 0x80070005\n", ConfigStatus::StatusFailed, -1, domain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        SimFwStateFile state(Expand(c.state, port));
        EXPECT_EQ(c.status, config.QueryConfigStatus());
        EXPECT_EQ(c.result, config.SetUpMonitorPort(port));
        EXPECT_EQ(Expand(c.portsAfter, port), PortLines(state));
        EXPECT_EQ(0, SimFwLiveObjects());
    }
}

// --- MonitorPortConfig: removal ------------------------------------------------------------------

// A removal list block's entries as "name|protocol|port|profile|inBoth", names in code page 932.
std::vector<std::string> Entries(const std::vector<char>& block)
{
    std::vector<std::string> entries;
    const int32_t count = reinterpret_cast<const PortRemovalList*>(block.data())->count;
    for (int32_t i = 0; i < count; ++i) {
        PortRemovalEntry e;
        std::memcpy(&e, block.data() + offsetof(PortRemovalList, entries) + sizeof e * static_cast<size_t>(i), sizeof e);
        entries.push_back(std::string(e.name) + "|" + std::to_string(e.protocol) + "|" + std::to_string(e.port) + "|" +
                          std::to_string(e.profile) + "|" + std::to_string(e.inBoth));
    }
    return entries;
}

TEST_F(Firewall, RemovalListMergesBothProfiles)
{
    const struct {
        const char* label;
        const char* state;
        ConfigStatus status;
        std::vector<std::string> entries; // UTF-8
    } cases[] = {
        {"same port in both",
         "port Domain UDP 58140 enabled subnet any user - %M\nport Standard UDP 58140 enabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded, {"%M|17|58140|0|1"}},
        {"standard only", "port Domain TCP 80 enabled all any user - Web\nport Standard UDP 7 disabled all any user - %M\n",
         ConfigStatus::WorkNeeded, {"%M|17|7|1|0"}},
        {"names differ in case only",
         "port Domain UDP 58140 enabled subnet any user - %M\n"
         "port Standard UDP 58140 enabled subnet any user - tessaly ドライバ配信 監視プログラム\n",
         ConfigStatus::WorkNeeded, {"%M|17|58140|0|0", "tessaly ドライバ配信 監視プログラム|17|58140|1|0"}},
        {"tcp and udp",
         "port Domain UDP 58140 enabled subnet any user - %M\nport Domain TCP 58140 enabled subnet any user - %M\n"
         "port Standard TCP 58140 enabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded, {"%M|17|58140|0|0", "%M|6|58140|0|1"}},
        {"order and twins",
         "port Domain UDP 2 enabled all any user - %M\nport Domain UDP 1 enabled all any user - %M\n"
         "port Standard UDP 3 enabled all any user - %M\nport Standard UDP 2 enabled all any user - %M\n"
         "port Standard UDP 1 enabled all any user - Other\n",
         ConfigStatus::WorkNeeded, {"%M|17|2|0|1", "%M|17|1|0|0", "%M|17|3|1|0"}},
        {"no ports", "", ConfigStatus::NothingToDo, {}},
        {"no monitor names",
         "port Domain UDP 58140 enabled subnet any user - Web\nport Standard UDP 1 enabled subnet any user - Tessaly\n",
         ConfigStatus::NothingToDo, {}},
        {"domain snapshot fails",
         "port Standard UDP 58140 enabled subnet any user - %M\nfail Domain IEnumVARIANT::Next 0x80004005\n",
         ConfigStatus::StatusFailed, {}},
        {"standard size fails",
         "port Domain UDP 58140 enabled subnet any user - %M\nfail Standard INetFwOpenPorts::get_Count 0x80004005\n",
         ConfigStatus::StatusFailed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SimFwStateFile state(Expand(c.state));
        MonitorPortConfig config;
        EXPECT_EQ(c.status, config.QueryRemovalStatus());
        int32_t count = -1;
        config.GetRemovalCount(count);
        EXPECT_EQ(static_cast<int32_t>(c.entries.size()), count);
        if (c.status != ConfigStatus::StatusFailed) {
            std::vector<std::string> expected;
            for (const std::string& entry : c.entries) {
                expected.push_back(Ansi(Expand(entry)));
            }
            int32_t size = 0;
            EXPECT_EQ(1, config.BuildRemovalList(nullptr, size));
            std::vector<char> block(static_cast<size_t>(size));
            EXPECT_EQ(1, config.BuildRemovalList(reinterpret_cast<PortRemovalList*>(block.data()), size));
            EXPECT_EQ(expected, Entries(block));
        }
        EXPECT_EQ(0, SimFwLiveObjects());
    }
}

// Letter case aside, every character of the monitor's name counts, double-byte ones whole.
TEST(MonitorName, OnlyLetterCaseIsIgnored)
{
    const struct {
        const char* label;
        const char* name; // UTF-8
        bool monitor;
    } cases[] = {
        {"the name", "Tessaly ドライバ配信 監視プログラム", true},
        {"letters in other cases", "tESSALY ドライバ配信 監視プログラム", true},
        // The system's collation takes "ー" for a repetition of the letter before it.
        {"a prolonged sound mark for a letter", "Tesーaly ドライバ配信 監視プログラム", false},
        {"a hyphen, which a word sort ignores", "Tessaly ドライバ配信 監視プロ-グラム", false},
        // Byte-wise folding would take the trail byte 0x6F of "バ" for the 0x4F of "グ".
        {"a trail byte that is a letter in another case", "Tessaly ドライバ配信 監視プロバラム", false},
        {"full-width letters", "Ｔｅｓｓａｌｙ ドライバ配信 監視プログラム", false},
        {"one more character", "Tessaly ドライバ配信 監視プログラム ", false},
        {"one character less", "Tessaly ドライバ配信 監視プログラ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.monitor, IsMonitorPortName(Ansi(c.name).c_str())) << c.label;
    }
}

TEST_F(Firewall, RemovalTakesOutWhatIsLeftTicked)
{
    // Listed: Domain and Standard UDP 58140 as one entry, Standard TCP 1.
    const char listed[] = "port Domain UDP 58140 enabled subnet any user - %M\n"
                          "port Standard UDP 58140 enabled subnet any user - %M\n"
                          "port Standard TCP 1 enabled all any user - %M\n"
                          "port Standard TCP 80 enabled all any user - Web\n";
    const struct {
        const char* label;
        std::vector<int> excluded;
        const char* fault;
        int expected;
        const char* portsAfter;
    } cases[] = {
        {"all excluded", {0, 1}, "", 0, listed},
        {"all removed", {}, "", 0, "port Standard TCP 80 enabled all any user - Web\n"},
        {"domain removal fails", {1}, "fail Domain INetFwOpenPorts::Remove 0x80070005\n", -1,
         "port Domain UDP 58140 enabled subnet any user - %M\nport Standard TCP 1 enabled all any user - %M\n"
         "port Standard TCP 80 enabled all any user - Web\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SimFwStateFile state(Expand(listed + std::string(c.fault)));
        MonitorPortConfig config;
        ASSERT_EQ(ConfigStatus::WorkNeeded, config.QueryRemovalStatus());
        for (int index : c.excluded) {
            config.ExcludeRemovalEntry(index);
        }
        EXPECT_EQ(c.expected, config.RemoveMonitorPorts());
        EXPECT_EQ(Expand(c.portsAfter), PortLines(state));
        EXPECT_EQ(0, SimFwLiveObjects());
    }
}

// Ports that appear between the size query and the fill: the build fails, and the list block
// is never written past its end.
TEST_F(Firewall, GrowingProfilesNeverOverrunTheRemovalList)
{
    SimFwStateFile state(Expand("port Domain UDP 1 enabled all any user - %M\n"
                                "port Standard UDP 1 enabled all any user - %M\n"
                                "grow Domain 5 %M\n"));
    MonitorPortConfig config;
    int32_t size = 0;
    ASSERT_EQ(1, config.BuildRemovalList(nullptr, size));
    std::vector<char> block(static_cast<size_t>(size) + 1024, '\x5a');
    std::memset(block.data(), 0, static_cast<size_t>(size));
    EXPECT_EQ(0, config.BuildRemovalList(reinterpret_cast<PortRemovalList*>(block.data()), size));
    EXPECT_EQ(std::vector<char>(1024, '\x5a'), std::vector<char>(block.end() - 1024, block.end()));
    EXPECT_EQ(ConfigStatus::StatusFailed, config.QueryRemovalStatus());
}

} // namespace
