// Snapshot tables that end right before a page the process may not touch: a byte written or
// read past a table faults at once, where a canary would only notice a write afterwards. Every
// field of every record is checked, so a text that ran over its own field into the next one
// shows too.
#include "firewall/FirewallPorts.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// A zero-filled block of `size` bytes whose end is the start of a no-access page.
class GuardedBlock {
public:
    explicit GuardedBlock(size_t size) : size_(size)
    {
        SYSTEM_INFO system{};
        ::GetSystemInfo(&system);
        page_ = system.dwPageSize;
        const size_t usable = (size + page_ - 1) / page_ * page_;
        base_ = static_cast<char*>(::VirtualAlloc(nullptr, usable + page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        if (base_ && !::VirtualProtect(base_ + usable, page_, PAGE_NOACCESS, &previous)) {
            ::VirtualFree(base_, 0, MEM_RELEASE);
            base_ = nullptr;
        }
        block_ = base_ ? base_ + usable - size : nullptr;
    }
    ~GuardedBlock()
    {
        if (base_) {
            ::VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;

    char* get() const { return block_; }
    size_t size() const { return size_; }

private:
    size_t size_;
    size_t page_ = 0;
    char* base_ = nullptr;
    char* block_ = nullptr;
};

std::string Repeat(const std::string& text, size_t times)
{
    std::string all;
    for (size_t i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

// A record as the snapshot must hold it; texts in code page 932.
struct Expected {
    std::string name;
    int32_t ipVersion;
    int32_t protocol;
    int32_t port;
    int32_t scope;
    std::string remoteAddresses;
    int16_t enabled;
    int16_t builtIn;
};

struct Case {
    const char* label;
    std::string state;           // statements of the Standard profile's ports and anomalies
    HRESULT result;              // of the fill
    std::vector<Expected> records;
};

const std::string Remote600 = Repeat("10.0.0.1/255.255.255.255,", 24); // 600 bytes
const std::string Drive = "\xe3\x83\x89";                               // "ド" in UTF-8
const std::string DriveAnsi = "\x83\x68";                                // and in code page 932

std::vector<Case> Cases()
{
    const Expected one{"One", 0, 6, 1, 0, "", 0, 0};
    const Expected two{"Two", 2, 17, 2, 1, "", -1, 0};
    const Expected three{"Three", 1, 17, 3, 2, "LocalSubnet", -1, -1};
    const std::string threePorts = "port Standard TCP 1 disabled all v4 user - One\n"
                                    "port Standard UDP 2 enabled subnet any user - Two\n"
                                    "port Standard UDP 3 enabled custom v6 builtin LocalSubnet Three\n";
    return {
        {"no port: a table of 4 bytes", "", S_FALSE, {}},
        {"three ports", threePorts, S_FALSE, {one, two, three}},
        {"a count one short", threePorts + "undercount Standard 1\n", S_FALSE, {one, two}},
        {"a count of 0 with ports", threePorts + "undercount Standard 9\n", S_FALSE, {}},
        {"an object past the count", threePorts + "nonport Standard 9 object\n", S_FALSE, {one, two, three}},
        {"VT_EMPTY past the count", threePorts + "nonport Standard 9 empty\n", S_FALSE, {one, two, three}},
        {"a number past the count", threePorts + "nonport Standard 9 number\n", S_FALSE, {one, two, three}},
        {"a number in the middle", threePorts + "nonport Standard 1 number\n", DISP_E_TYPEMISMATCH, {one}},
        {"long texts, cut at character boundaries",
         "port Standard UDP 9 disabled custom v6 builtin " + Remote600 + " " + Repeat(Drive, 300) + "\n" +
             "port Standard TCP 65535 enabled custom v4 user " + Remote600.substr(0, 260) + " a" +
             Repeat(Drive, 300) + "\n" + "port Standard UDP 7 enabled all any user - " + std::string(259, 'n') + "\n",
         S_FALSE,
         {{Repeat(DriveAnsi, 129), 1, 17, 9, 2, Remote600.substr(0, 259), 0, -1},
          {"a" + Repeat(DriveAnsi, 129), 0, 6, 65535, 2, Remote600.substr(0, 259), -1, 0},
          {std::string(259, 'n'), 2, 17, 7, 0, "", -1, 0}}},
    };
}

TEST(GuardedSnapshot, TablesOfExactlyTheReportedSize)
{
    ASSERT_EQ(S_OK, testsupport::ProbeSimFw()) << "simfw is not answering";
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.label);
        testsupport::SimFwStateFile state(c.state);
        ASSERT_TRUE(state.Ok());
        uint32_t size = 0;
        EXPECT_EQ(-1, ListOpenPorts(ProfileType::Standard, nullptr, 0, &size));
        const uint32_t counted = size >= 4 ? (size - 4) / 540 : 0;
        GuardedBlock table(size);
        ASSERT_NE(nullptr, table.get());
        EXPECT_EQ(c.result, ListOpenPorts(ProfileType::Standard, table.get(), size, &size));
        EXPECT_EQ(static_cast<int32_t>(counted), reinterpret_cast<const OpenPortTable*>(table.get())->count);
        const size_t filled = c.result == S_FALSE ? counted : c.records.size();
        ASSERT_EQ(c.records.size(), filled);
        for (size_t i = 0; i < filled; ++i) {
            SCOPED_TRACE(i);
            const OpenPortRecord& record = *OpenPortTableRecord(table.get(), static_cast<uint32_t>(i));
            const Expected& e = c.records[i];
            EXPECT_EQ(e.name, std::string(record.name));
            EXPECT_EQ(e.ipVersion, record.ipVersion);
            EXPECT_EQ(e.protocol, record.protocol);
            EXPECT_EQ(e.port, record.port);
            EXPECT_EQ(e.scope, record.scope);
            EXPECT_EQ(e.remoteAddresses, std::string(record.remoteAddresses));
            EXPECT_EQ(e.enabled, record.enabled);
            EXPECT_EQ(e.builtIn, record.builtIn);
        }
        // Records not filled keep the zeros they were given.
        const char* rest = table.get() + OpenPortTableSize(static_cast<uint32_t>(filled));
        const size_t restSize = static_cast<size_t>(table.get() + table.size() - rest);
        EXPECT_EQ(std::string(restSize, '\0'), std::string(rest, restSize));
    }
}

// Ports that appear between the size query and the fill: a table of the old size is refused
// before anything is written into it.
TEST(GuardedSnapshot, GrownProfileLeavesTheTableUntouched)
{
    testsupport::SimFwStateFile state("port Standard UDP 1 enabled all any user - One\n"
                                      "grow Standard 2 New\n");
    ASSERT_TRUE(state.Ok());
    uint32_t size = 0;
    ListOpenPorts(ProfileType::Standard, nullptr, 0, &size);
    ASSERT_EQ(OpenPortTableSize(1), size);
    GuardedBlock table(size);
    ASSERT_NE(nullptr, table.get());
    uint32_t required = 0;
    EXPECT_EQ(-1, ListOpenPorts(ProfileType::Standard, table.get(), size, &required));
    EXPECT_EQ(OpenPortTableSize(3), required);
    EXPECT_EQ(std::string(size, '\0'), std::string(table.get(), size));
}

} // namespace
