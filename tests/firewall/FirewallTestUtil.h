#pragma once

#include "firewall/FirewallPorts.h"
#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The monitor's port name as the state file spells it (UTF-8).
extern const char MonitorNameUtf8[];

// `text` with every "%M" replaced by the monitor's name and every "%P" by `port`.
std::string Expand(std::string text, int32_t port = 0);

// UTF-8 text converted into code page 932, as snapshots and lists hold it.
std::string Ansi(const std::string& utf8);

// The port lines of a state file, one string, lines ended by '\n'.
std::string PortLines(const testsupport::SimFwStateFile& state);

// A profile's snapshot through the two-call protocol.
struct Snapshot {
    HRESULT result = E_FAIL;
    uint32_t size = 0;
    int32_t count = 0;
    std::vector<OpenPortRecord> records;
};
Snapshot TakeSnapshot(ProfileType profile);

// Every test runs against the simulated firewall and must leave none of its objects alive.
class SimFwTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, testsupport::SimFwLiveObjects()) << "simfw is not answering"; }
    void TearDown() override { EXPECT_EQ(0, testsupport::SimFwLiveObjects()); }
};
