#pragma once

// Shared steps of the simfw tests: reaching a profile's port collection through COM activation
// as the product does, making port objects, walking an enumeration.

#include "framework/Com.h"

#include <gtest/gtest.h>
#include <netfw.h>

#include <string>
#include <vector>

namespace simfwtest {

const HRESULT kNotFound = static_cast<HRESULT>(0x80070002);

// How a test reaches a profile: GetProfileByType with 0, 1 or 2, or get_CurrentProfile.
enum class Route { Domain, Standard, Current, CurrentProperty };

// Manager, policy, profile and collection; the first failure is returned.
HRESULT OpenPorts(Route route, fw::ComPtr<INetFwOpenPorts>& ports);

// A free-standing port object with these settings (UDP, subnet, any IP version, enabled).
HRESULT NewPort(const wchar_t* name, LONG number, NET_FW_IP_PROTOCOL protocol, fw::ComPtr<INetFwOpenPort>& port);

// Opens the collection and adds a new port to it.
HRESULT AddPort(Route route, const wchar_t* name, LONG number, NET_FW_IP_PROTOCOL protocol);

// The enumerator of a collection (get__NewEnum, then QueryInterface).
HRESULT Enumerate(INetFwOpenPorts* ports, fw::ComPtr<IEnumVARIANT>& enumerator);

// Element by element with Next(1) until it stops returning S_OK; each element's VARIANT type
// and, for ports, "name/number/protocol". Fails the test on a result other than S_OK/S_FALSE.
struct Element {
    VARTYPE type;
    std::wstring port; // empty when the element is no port object
};
std::vector<Element> Walk(INetFwOpenPorts* ports);

std::wstring NameOf(INetFwOpenPort* port);

// Base of the simfw tests: COM for the test's thread, and every simfw object released at the end.
class SimFwTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    fw::ComInit com_;
};

} // namespace simfwtest
