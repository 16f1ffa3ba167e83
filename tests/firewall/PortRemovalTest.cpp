#include "FirewallTestUtil.h"

#include "firewall/MonitorPortConfig.h"
#include "firewall/MonitorPortName.h"

#include <cstring>
#include <vector>

namespace {

using Removal = SimFwTest;

struct Entry {
    std::string name; // code page 932
    int32_t protocol;
    int32_t port;
    int32_t profile;
    int32_t inBoth;
    bool operator==(const Entry& o) const
    {
        return name == o.name && protocol == o.protocol && port == o.port && profile == o.profile && inBoth == o.inBoth;
    }
};

void PrintTo(const Entry& e, std::ostream* os)
{
    *os << "{" << e.name.size() << " bytes, " << e.protocol << ", " << e.port << ", " << e.profile << ", " << e.inBoth
        << "}";
}

std::vector<Entry> Entries(const std::vector<char>& block)
{
    std::vector<Entry> entries;
    const int32_t count = reinterpret_cast<const PortRemovalList*>(block.data())->count;
    for (int32_t i = 0; i < count; ++i) {
        PortRemovalEntry e;
        std::memcpy(&e, block.data() + 4 + sizeof e * static_cast<size_t>(i), sizeof e);
        entries.push_back({e.name, e.protocol, e.port, e.profile, e.inBoth});
    }
    return entries;
}

const std::string Monitor = Ansi(MonitorNameUtf8);
const std::string Upper = Ansi("TESSALY ドライバ配信 監視プログラム");
const std::string Lower = Ansi("tessaly ドライバ配信 監視プログラム");

TEST_F(Removal, MergeOfBothProfiles)
{
    struct {
        const char* label;
        const char* state;
        ConfigStatus status;
        std::vector<Entry> entries;
    } const cases[] = {
        {"same port in both",
         "port Domain UDP 58140 enabled subnet any user - %M\nport Standard UDP 58140 enabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded, {{Monitor, 17, 58140, 0, 1}}},
        {"standard only", "port Domain TCP 80 enabled all any user - Web\nport Standard UDP 7 disabled all any user - %M\n",
         ConfigStatus::WorkNeeded, {{Monitor, 17, 7, 1, 0}}},
        {"upper case", "port Domain UDP 58140 enabled subnet any user - TESSALY ドライバ配信 監視プログラム\n",
         ConfigStatus::WorkNeeded, {{Upper, 17, 58140, 0, 0}}},
        {"names differ in case only",
         "port Domain UDP 58140 enabled subnet any user - %M\n"
         "port Standard UDP 58140 enabled subnet any user - tessaly ドライバ配信 監視プログラム\n",
         ConfigStatus::WorkNeeded, {{Monitor, 17, 58140, 0, 0}, {Lower, 17, 58140, 1, 0}}},
        {"tcp and udp",
         "port Domain UDP 58140 enabled subnet any user - %M\nport Domain TCP 58140 enabled subnet any user - %M\n"
         "port Standard TCP 58140 enabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded, {{Monitor, 17, 58140, 0, 0}, {Monitor, 6, 58140, 0, 1}}},
        {"order and twins",
         "port Domain UDP 2 enabled all any user - %M\nport Domain UDP 1 enabled all any user - %M\n"
         "port Standard UDP 3 enabled all any user - %M\nport Standard UDP 2 enabled all any user - %M\n"
         "port Standard UDP 1 enabled all any user - Other\n",
         ConfigStatus::WorkNeeded, {{Monitor, 17, 2, 0, 1}, {Monitor, 17, 1, 0, 0}, {Monitor, 17, 3, 1, 0}}},
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
        {"element not a port", "port Standard UDP 58140 enabled subnet any user - %M\nnonport Standard 0\n",
         ConfigStatus::StatusFailed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::SimFwStateFile state(Expand(c.state));
        MonitorPortConfig config;
        EXPECT_EQ(c.status, config.QueryRemovalStatus());
        int32_t count = -1;
        config.GetRemovalCount(count);
        EXPECT_EQ(c.status == ConfigStatus::WorkNeeded ? static_cast<int32_t>(c.entries.size()) : 0, count);
        for (int32_t i = 0; i < count && i < static_cast<int32_t>(c.entries.size()); ++i) {
            int32_t protocol = 0;
            int32_t port = 0;
            config.GetRemovalEntry(protocol, port, i);
            EXPECT_EQ(c.entries[static_cast<size_t>(i)].protocol, protocol);
            EXPECT_EQ(c.entries[static_cast<size_t>(i)].port, port);
        }
        if (c.status != ConfigStatus::StatusFailed) {
            int32_t size = 0;
            EXPECT_EQ(1, config.BuildRemovalList(nullptr, size));
            std::vector<char> block(static_cast<size_t>(size));
            EXPECT_EQ(1, config.BuildRemovalList(reinterpret_cast<PortRemovalList*>(block.data()), size));
            EXPECT_EQ(c.entries, Entries(block));
        }
        EXPECT_EQ(0, testsupport::SimFwLiveObjects());
    }
}

// The monitor name test: letter case aside, every character counts, double-byte ones whole.
TEST(MonitorName, OnlyLetterCaseIsIgnored)
{
    const struct {
        const char* label;
        std::string name;
        bool monitor;
    } cases[] = {
        {"the name", Monitor, true},
        {"letters in other cases", Lower, true},
        {"letters in other cases", Ansi("tESSALY ドライバ配信 監視プログラム"), true},
        // The system's collation takes "ー" for a repetition of the letter before it.
        {"a prolonged sound mark for a letter", Ansi("Tesーaly ドライバ配信 監視プログラム"), false},
        {"a hyphen, which a word sort ignores", Ansi("Tessaly ドライバ配信 監視プロ-グラム"), false},
        // Byte-wise folding would take the trail byte 0x6F of "バ" for the 0x4F of "グ".
        {"a trail byte that is a letter in another case", Ansi("Tessaly ドライバ配信 監視プロバラム"), false},
        {"full-width letters", Ansi("Ｔｅｓｓａｌｙ ドライバ配信 監視プログラム"), false},
        {"one more character", Monitor + " ", false},
        {"one character less", Monitor.substr(0, Monitor.size() - 2), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.monitor, IsMonitorPortName(c.name.c_str())) << c.label;
    }
}

TEST_F(Removal, RemovesWhatIsLeftTicked)
{
    const char state3[] = "port Domain UDP 58140 enabled subnet any user - %M\n"
                          "port Standard UDP 58140 enabled subnet any user - %M\n"
                          "port Standard TCP 1 enabled all any user - %M\n"
                          "port Standard TCP 80 enabled all any user - Web\n";
    struct {
        const char* label;
        std::vector<int> excluded;
        const char* stateBeforeRemoval; // null: as built
        int expected;
        const char* portsAfter;
    } const cases[] = {
        {"all excluded", {0, 1}, nullptr, 0, state3},
        {"all removed", {}, nullptr, 0, "port Standard TCP 80 enabled all any user - Web\n"},
        {"domain removal fails",
         {1},
         "port Domain UDP 58140 enabled subnet any user - %M\nport Standard UDP 58140 enabled subnet any user - %M\n"
         "fail Domain INetFwOpenPorts::Remove 0x80070005\n",
         -1,
         "port Domain UDP 58140 enabled subnet any user - %M\n"},
        {"ports vanished", {}, "port Standard TCP 80 enabled all any user - Web\n", 0,
         "port Standard TCP 80 enabled all any user - Web\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::SimFwStateFile state(Expand(state3));
        MonitorPortConfig config;
        ASSERT_EQ(ConfigStatus::WorkNeeded, config.QueryRemovalStatus());
        for (int index : c.excluded) {
            config.ExcludeRemovalEntry(index);
        }
        if (c.stateBeforeRemoval) {
            ASSERT_TRUE(state.Write(Expand(c.stateBeforeRemoval)));
        }
        EXPECT_EQ(c.expected, config.RemoveMonitorPorts());
        EXPECT_EQ(Expand(c.portsAfter), PortLines(state));
        EXPECT_EQ(0, testsupport::SimFwLiveObjects());
    }
}

// Ports that appear between the size query and the fill: the list block is never overrun.
TEST_F(Removal, GrowingProfilesNeverOverrunTheList)
{
    const std::string before = Expand("port Domain UDP 1 enabled all any user - %M\n"
                                      "port Standard UDP 1 enabled all any user - %M\n");
    const std::string grownByOne = before + Expand("port Domain UDP 2 enabled all any user - %M\n");
    std::string grownBeyond = grownByOne;
    for (int port = 3; port < 9; ++port) {
        grownBeyond += Expand("port Domain UDP %P enabled all any user - %M\n", port);
    }
    struct {
        std::string initial;
        std::string grown; // written after the size query; empty: the sim's `grow` does it
        int expected;
        int32_t expectedCount;
    } const cases[] = {
        {before, grownByOne, 1, 2},
        {before, grownBeyond, 0, 0},
        {before + Expand("grow Domain 5 %M\n"), "", 0, 0},
    };
    for (const auto& c : cases) {
        testsupport::SimFwStateFile state(c.initial);
        MonitorPortConfig config;
        int32_t size = 0;
        ASSERT_EQ(1, config.BuildRemovalList(nullptr, size));
        std::vector<char> block(static_cast<size_t>(size) + 1024, '\0');
        std::memset(block.data() + size, 0x5a, 1024);
        ASSERT_TRUE(c.grown.empty() || state.Write(c.grown));
        int32_t sizeAfter = size;
        EXPECT_EQ(c.expected, config.BuildRemovalList(reinterpret_cast<PortRemovalList*>(block.data()), sizeAfter));
        EXPECT_EQ(c.expectedCount, reinterpret_cast<const PortRemovalList*>(block.data())->count);
        EXPECT_EQ(std::vector<char>(1024, '\x5a'), std::vector<char>(block.begin() + size, block.end()));
        EXPECT_EQ(ConfigStatus::StatusFailed, c.grown.empty() ? config.QueryRemovalStatus() : ConfigStatus::StatusFailed);
    }
}

} // namespace
