// Fails when the prefix is not fit for the firewall tests: Wine's firewall stub answers instead
// of simfw.dll, or the ANSI code page is not 932.

#include "support/SimFwProbe.h"

#include <gtest/gtest.h>

TEST(SimFwGuard, SimulatedFirewallAnswersInCodePage932)
{
    EXPECT_EQ(932u, ::GetACP());
    EXPECT_GE(testsupport::SimFwLiveObjects(), 0) << "the DLL registered for the firewall is not simfw.dll";
    // Wine's stub answers GetProfileByType with E_NOTIMPL.
    EXPECT_EQ(S_OK, testsupport::ProbeSimFw());
}
