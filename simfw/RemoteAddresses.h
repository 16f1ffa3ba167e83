#pragma once

#include <windows.h>

#include <string>

// Remote address lists of a globally open port, as Windows XP SP2 and later accept them
// (README.md names the pages): "*" alone, or comma-separated tokens, each "LocalSubnet" in any
// letter case or an IPv4 address with an optional subnet mask or prefix ("10.0.0.2",
// "10.0.0.0/255.0.0.0", "10.0.0.0/8").
namespace simfw {

// The NET_FW_SCOPE value the list stands for: 0 for "*", 1 for LocalSubnet alone, 2 (custom) for
// any other valid list; -1 for a list Windows refuses, the empty one included.
LONG ScopeOfRemoteAddresses(const std::wstring& list);

// What a port whose list was never set reports: the list of its scope ("*", "LocalSubnet"), or
// nothing for a custom scope.
std::wstring RemoteAddressesOfScope(LONG scope);

} // namespace simfw
