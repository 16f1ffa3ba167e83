#pragma once

#include <cstddef>
#include <cstdint>

// One monitor-named port to remove; 276 bytes, fields back to back.
struct PortRemovalEntry {
    char name[260];   // as found in the snapshot, ANSI code page, NUL-terminated
    int32_t protocol; // 6 TCP, 17 UDP
    int32_t port;     // 0 marks an entry excluded from removal
    int32_t profile;  // ProfileType where found: 0 Domain, 1 Standard
    int32_t inBoth;   // 1: the Standard profile holds this Domain entry's twin
};
static_assert(sizeof(PortRemovalEntry) == 276, "PortRemovalEntry is 276 bytes");
static_assert(offsetof(PortRemovalEntry, protocol) == 260, "PortRemovalEntry layout");
static_assert(offsetof(PortRemovalEntry, port) == 264, "PortRemovalEntry layout");
static_assert(offsetof(PortRemovalEntry, profile) == 268, "PortRemovalEntry layout");
static_assert(offsetof(PortRemovalEntry, inBoth) == 272, "PortRemovalEntry layout");

// A 32-bit count, then that many entries: Domain entries first, then Standard entries
// without a Domain twin. Flat and fixed-width like the snapshots it is built from: the removal
// dialog and the worker reach entry i at a plain offset, and the list is freed in one piece. It
// is a copy taken by the precheck, not brought up to date when the firewall changes.
struct PortRemovalList {
    int32_t count;
    PortRemovalEntry entries[1]; // really `count` entries
};
static_assert(offsetof(PortRemovalList, entries) == 4, "PortRemovalList layout");
