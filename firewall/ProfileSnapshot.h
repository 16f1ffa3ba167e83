#pragma once

#include "firewall/FirewallPorts.h"
#include "framework/Handles.h"

#include <cstdint>

// One profile's OpenPortTable in a block of its own, taken by the two-call protocol of
// ListOpenPorts and freed with the object, in one piece. Nothing is cached: every snapshot asks
// the firewall anew, size and then records, so each precheck sees the firewall as it is now and
// not as an earlier call found it.
class ProfileSnapshot {
public:
    // The table size the profile reports now; 0 when it could not report one.
    static uint32_t QuerySize(ProfileType type);

    // Fills a new zero-filled block of `size` bytes; ListOpenPorts' result. A missing block
    // (size 0 or no memory) makes the fill fail.
    HRESULT Fill(ProfileType type, uint32_t size);
    // Size query, then fill.
    HRESULT Take(ProfileType type);

    // Records of the last successful fill; none before.
    int32_t Count() const;
    const OpenPortRecord& Record(int32_t index) const;

private:
    fw::UniqueGlobal block_;
    int32_t count_ = 0;
};
