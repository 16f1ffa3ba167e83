// Snapshot tables that end right before a page the process may not touch: a byte written or
// read past a table faults at once, where a canary would only notice a write afterwards. Every
// field of every record is compared, so a text that ran over its own field into the next one
// shows too.
#include "firewall/FirewallPorts.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

namespace {

struct FreePages {
    void operator()(char* pages) const { ::VirtualFree(pages, 0, MEM_RELEASE); }
};

// A zero-filled block of `size` bytes whose end is the start of a no-access page (pages of 4 KiB,
// as on every x86 and x64 Windows); `block` stays null when the pages could not be had.
struct GuardedBlock {
    explicit GuardedBlock(size_t size) : size(size)
    {
        const size_t usable = (size + 4095) / 4096 * 4096;
        pages.reset(static_cast<char*>(::VirtualAlloc(nullptr, usable + 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)));
        DWORD previous = 0;
        if (pages && ::VirtualProtect(pages.get() + usable, 4096, PAGE_NOACCESS, &previous)) {
            block = pages.get() + usable - size;
        }
    }
    std::string Bytes(size_t from) const { return std::string(block + from, size - from); }

    size_t size;
    std::unique_ptr<char, FreePages> pages;
    char* block = nullptr;
};

std::string Repeat(const std::string& text, size_t times)
{
    std::string all;
    while (times-- > 0) {
        all += text;
    }
    return all;
}

// Every field of a record, texts in code page 932.
std::string Fields(const std::string& name, int ipVersion, int protocol, int port, int scope,
                   const std::string& remote, int enabled, int builtIn)
{
    std::ostringstream fields;
    fields << name << '|' << ipVersion << '|' << protocol << '|' << port << '|' << scope << '|' << remote << '|'
           << enabled << '|' << builtIn;
    return fields.str();
}

TEST(GuardedSnapshot, TablesOfExactlyTheReportedSize)
{
    ASSERT_EQ(S_OK, testsupport::ProbeSimFw()) << "simfw is not answering";
    const std::string remote600 = Repeat("10.0.0.1/255.255.255.255,", 24);
    const std::string drive = "\xe3\x83\x89", driveAnsi = "\x83\x68"; // "ド" in UTF-8 and in code page 932
    // A port whose list was never set ("-") reports the list of its scope.
    const std::string one = Fields("One", 0, 6, 1, 0, "*", 0, 0), two = Fields("Two", 2, 17, 2, 1, "LocalSubnet", -1, 0),
                      three = Fields("Three", 1, 17, 3, 2, "LocalSubnet", -1, -1);
    const std::string ports = "port Standard TCP 1 disabled all v4 user - One\n"
                              "port Standard UDP 2 enabled subnet any user - Two\n"
                              "port Standard UDP 3 enabled custom v6 builtin LocalSubnet Three\n";
    const struct {
        std::string state; // the Standard profile's ports and anomalies
        HRESULT result;    // of the fill
        std::vector<std::string> records;
    } cases[] = {
        {"", S_FALSE, {}},
        {ports, S_FALSE, {one, two, three}},
        {ports + "undercount Standard 1\n", S_FALSE, {one, two}},
        {ports + "undercount Standard 9\n", S_FALSE, {}},
        {ports + "nonport Standard 9 object\n", S_FALSE, {one, two, three}},
        {ports + "nonport Standard 9 number\n", S_FALSE, {one, two, three}},
        {ports + "nonport Standard 1 number\n", DISP_E_TYPEMISMATCH, {one}},
        // Texts longer than their fields, cut at character boundaries.
        {"port Standard UDP 9 disabled custom v6 builtin " + remote600 + " " + Repeat(drive, 300) + "\n" +
             "port Standard TCP 65535 enabled custom v4 user " + remote600.substr(0, 260) + " a" + Repeat(drive, 300) +
             "\nport Standard UDP 7 enabled all any user - " + std::string(259, 'n') + "\n",
         S_FALSE,
         {Fields(Repeat(driveAnsi, 129), 1, 17, 9, 2, remote600.substr(0, 259), 0, -1),
          Fields("a" + Repeat(driveAnsi, 129), 0, 6, 65535, 2, remote600.substr(0, 259), -1, 0),
          Fields(std::string(259, 'n'), 2, 17, 7, 0, "*", -1, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        testsupport::SimFwStateFile state(c.state);
        ASSERT_TRUE(state.Ok());
        uint32_t size = 0;
        EXPECT_EQ(-1, ListOpenPorts(ProfileType::Standard, nullptr, 0, &size));
        GuardedBlock table(size);
        ASSERT_NE(nullptr, table.block);
        EXPECT_EQ(c.result, ListOpenPorts(ProfileType::Standard, table.block, size, &size));
        const uint32_t counted = size >= 4 ? (size - 4) / sizeof(OpenPortRecord) : 0;
        EXPECT_EQ(static_cast<int32_t>(counted), reinterpret_cast<const OpenPortTable*>(table.block)->count);
        const uint32_t filled = c.result == S_FALSE ? counted : static_cast<uint32_t>(c.records.size());
        std::vector<std::string> records;
        for (uint32_t i = 0; i < filled; ++i) {
            const OpenPortRecord& r = *OpenPortTableRecord(table.block, i);
            records.push_back(Fields(r.name, r.ipVersion, r.protocol, r.port, r.scope, r.remoteAddresses, r.enabled, r.builtIn));
        }
        EXPECT_EQ(c.records, records);
        // Records not filled keep the zeros they were given.
        const std::string rest = table.Bytes(OpenPortTableSize(filled));
        EXPECT_EQ(std::string(rest.size(), '\0'), rest);
    }
}

} // namespace
