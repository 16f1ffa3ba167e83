#pragma once

#include "firewall/FirewallPorts.h"
#include "firewall/ProfileSnapshot.h"
#include "framework/Handles.h"

#include <cstdint>

// Looks up a record's twin in one snapshot: same number and protocol, and names equal in the
// locale's case-sensitive comparison. The snapshot's records are ordered once by protocol and
// number, so a lookup compares names only among the few records of equal number and protocol
// instead of scanning the whole table.
class TwinIndex {
public:
    explicit TwinIndex(const ProfileSnapshot& snapshot);

    bool HasTwin(const OpenPortRecord& record) const;

private:
    const ProfileSnapshot& snapshot_;
    fw::UniqueGlobal order_; // int32_t record indexes sorted by (protocol, port); null: scan
};
