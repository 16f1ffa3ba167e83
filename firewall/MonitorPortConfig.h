#pragma once

#include "firewall/FirewallPorts.h"
#include "firewall/PortRemovalList.h"
#include "framework/Handles.h"

#include <cstdint>

enum class PortState : int32_t {
    PortEnabled = 101,
    PortDisabled = 102,
    PortAbsent = 103,
    PortQueryFailed = 104,
};

enum class ConfigStatus : int32_t {
    WorkNeeded = 201,
    NothingToDo = 202,
    StatusFailed = 203,
};

// The monitor program's port: its number from the registry, its set-up in the Domain and
// Standard profiles, and the list of monitor-named ports for a removal run.
class MonitorPortConfig {
public:
    MonitorPortConfig() = default;
    virtual ~MonitorPortConfig() = default;
    MonitorPortConfig(const MonitorPortConfig&) = delete;
    MonitorPortConfig& operator=(const MonitorPortConfig&) = delete;

    // Set-up side.
    int ReadPortNumber();
    void GetPortNumber(int32_t& port) const;
    // 1 the firewall's interface answers the probe; -1 it is there but refuses access
    // (E_ACCESSDENIED); 0 any other failure, as on a system without it.
    int IsFirewallAvailable() const;
    PortState QueryPortState(ProfileType profile, int32_t port, int32_t protocol) const;
    ConfigStatus QueryConfigStatus() const;
    int SetUpMonitorPort(int32_t port) const;

    // Removal side.
    ConfigStatus QueryRemovalStatus();
    // size 0: size query (a profile that cannot report its table size adds 0). Otherwise fills
    // `list`, a block of `size` bytes; 0 when a snapshot fails or the entries would not fit
    // (ports that appeared since the size query), and the block is never written past `size`.
    int BuildRemovalList(PortRemovalList* list, int32_t& size) const;
    void GetRemovalCount(int32_t& count) const;
    // Indexes outside the list are ignored (outputs left as they are).
    void GetRemovalEntry(int32_t& protocol, int32_t& port, int index) const;
    void ExcludeRemovalEntry(int index);
    int RemoveMonitorPorts() const;

private:
    // Entries in the removal list, never more than its block holds; 0 without a list.
    int32_t RemovalCount() const;

    int32_t portNumber = 0;
    fw::UniqueGlobal removalList; // owned when not null
    int32_t removalSize = 0;      // bytes in the removalList block
};

// 0 read; -1 key or value unreadable (or longer than 4 bytes); -2 not a REG_DWORD of 4 bytes.
// The key is opened in the monitor's registry view (MonitorKey.h).
int ReadRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t& value);
