#pragma once

#include "framework/Com.h"

#include <cstddef>
#include <cstdint>
#include <netfw.h>
#include <optional>
#include <windows.h>

enum class ProfileType : int32_t {
    Domain = 0,
    Standard = 1,
    Current = 2,
};

constexpr int32_t ProtocolTcp = 6;
constexpr int32_t ProtocolUdp = 17;
constexpr int32_t IpVersionAny = 2;
constexpr int32_t ScopeAll = 0;
constexpr int32_t ScopeLocalSubnet = 1;
constexpr int32_t ScopeCustom = 2;

// HRESULT of INetFwOpenPorts::Item when no port has that number and protocol.
constexpr HRESULT HRESULT_PORT_NOT_FOUND = static_cast<HRESULT>(0x80070002);

// One globally open port in a snapshot; 540 bytes, fields back to back.
struct OpenPortRecord {
    char name[260];           // ANSI code page, always NUL-terminated
    int32_t ipVersion;
    int32_t protocol;
    int32_t port;
    int32_t scope;
    char remoteAddresses[260]; // ANSI code page, always NUL-terminated
    int16_t enabled;           // VARIANT_BOOL as delivered
    int16_t builtIn;           // VARIANT_BOOL as delivered
};
static_assert(sizeof(OpenPortRecord) == 540, "OpenPortRecord is 540 bytes");
static_assert(offsetof(OpenPortRecord, ipVersion) == 260, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, protocol) == 264, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, port) == 268, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, scope) == 272, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, remoteAddresses) == 276, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, enabled) == 536, "OpenPortRecord layout");
static_assert(offsetof(OpenPortRecord, builtIn) == 538, "OpenPortRecord layout");

// Snapshot of one profile: a 32-bit count, then that many records (4 + 540 * n bytes). Flat and
// fixed-width, so that a caller finds record i at a plain offset (OpenPortTableRecord) while it
// scans the table by index, and frees the whole table, one memory block, in one piece.
struct OpenPortTable {
    int32_t count;
    OpenPortRecord records[1]; // really `count` records; the block is sized by ListOpenPorts
};
static_assert(offsetof(OpenPortTable, records) == 4, "OpenPortTable layout");

constexpr uint32_t OpenPortTableSize(uint32_t count)
{
    return 4 + 540 * count;
}

// Largest port count a snapshot accepts: two profiles' table sizes then still add up within
// the int32 size of a removal list.
constexpr uint32_t MaxOpenPorts = (0x7FFFFFFF / 2 - 4) / 540;

// Record `index` of a table block; the block must hold at least index + 1 records.
inline OpenPortRecord* OpenPortTableRecord(void* table, uint32_t index)
{
    return reinterpret_cast<OpenPortRecord*>(static_cast<char*>(table) + OpenPortTableSize(index));
}

// A profile reached through one COM use of the calling thread. OpenFirewallProfile starts
// the COM use, CloseFirewallProfile (or the destructor) releases the profile object and then
// ends the COM use, so callers cannot leave either behind on an early return.
struct FirewallProfile {
    FirewallProfile() = default;
    ~FirewallProfile();
    FirewallProfile(const FirewallProfile&) = delete;
    FirewallProfile& operator=(const FirewallProfile&) = delete;

    std::optional<fw::ComInit> com;
    fw::ComPtr<INetFwProfile> profile;
};

HRESULT OpenFirewallProfile(ProfileType type, FirewallProfile& out);
void CloseFirewallProfile(FirewallProfile& profile);
// A new port of scope 2 (custom) gets the remote address list instead of the scope; any other
// scope is set as it is and the list is not passed.
HRESULT AddOrEnableOpenPort(ProfileType type, const wchar_t* name, int32_t ipVersion, int32_t protocol,
                            int32_t port, int32_t scope, const wchar_t* remoteAddresses, bool enabled);
// Removes the port of that number and protocol if it still carries a name that isOwnName (given
// the name in code page 932, as a snapshot's field holds it) accepts. S_OK also when there is no
// such port, or it carries another name; a failure when it cannot be found out or removed.
HRESULT RemoveOpenPort(ProfileType type, int32_t port, int32_t protocol, bool (*isOwnName)(const char* name));
// Two-call size protocol: -1 (with *requiredSize written) when buffer is null or too small,
// 1 after a complete snapshot, a negative platform result on failure.
// The table never holds more than the get_Count records it was sized for: extra elements of
// the enumeration end the snapshot there. Texts longer than a field are cut at a character
// boundary and stay NUL-terminated. An element that is not a port object fails the snapshot
// (DISP_E_TYPEMISMATCH for a variant without an interface pointer, else QueryInterface's result),
// and so does a Next that answers S_OK without an element (E_UNEXPECTED).
HRESULT ListOpenPorts(ProfileType type, void* buffer, uint32_t bufferSize, uint32_t* requiredSize);
HRESULT ProbeFirewall();
