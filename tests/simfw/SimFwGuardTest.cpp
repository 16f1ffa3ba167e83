// Fails when the prefix is not fit for the firewall tests: Wine's firewall stub answers instead
// of simfw.dll, or the ANSI code page is not 932.

#include "support/SimFwProbe.h"
#include "support/SimFwStateFile.h"

#include "framework/Com.h"

#include <gtest/gtest.h>
#include <netfw.h>
#include <windows.h>

TEST(SimFwGuard, RunsInJapaneseCodePage)
{
    EXPECT_EQ(932u, ::GetACP());
}

TEST(SimFwGuard, SimulatedFirewallIsRegistered)
{
    std::wstring path = testsupport::SimFwRegisteredPath();
    ASSERT_GE(path.size(), 10u);
    EXPECT_EQ(0, _wcsicmp(path.c_str() + path.size() - 10, L"\\simfw.dll")) << "registered: " << path.size();
    EXPECT_GE(testsupport::SimFwLiveObjects(), 0) << "the registered DLL does not export SimFwLiveObjects";
}

TEST(SimFwGuard, SimulatedFirewallAnswers)
{
    // Wine's stub returns E_NOTIMPL here, and S_OK from Item whatever the port.
    EXPECT_EQ(S_OK, testsupport::ProbeSimFw());

    testsupport::SimFwStateFile state;
    ASSERT_TRUE(state.Ok());
    fw::ComInit com;
    fw::ComPtr<INetFwMgr> manager;
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
    fw::ComPtr<INetFwPolicy> policy;
    ASSERT_EQ(S_OK, manager->get_LocalPolicy(policy.put()));
    fw::ComPtr<INetFwProfile> profile;
    ASSERT_EQ(S_OK, policy->GetProfileByType(NET_FW_PROFILE_DOMAIN, profile.put()));
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, profile->get_GloballyOpenPorts(ports.put()));
    fw::ComPtr<INetFwOpenPort> port;
    EXPECT_EQ(static_cast<HRESULT>(0x80070002), ports->Item(58140, NET_FW_IP_PROTOCOL_UDP, port.put()));
}
