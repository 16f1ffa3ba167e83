#include "firewall/MonitorPortConfig.h"

#include "firewall/MonitorPortName.h"
#include "firewall/ProfileSnapshot.h"
#include "firewall/TwinIndex.h"

#include <cstring>

namespace {

PortRemovalEntry* EntryAt(void* list, int32_t index)
{
    return reinterpret_cast<PortRemovalEntry*>(static_cast<char*>(list) + offsetof(PortRemovalList, entries) +
                                               sizeof(PortRemovalEntry) * static_cast<size_t>(index));
}

// Number of entries a list block of `size` bytes has room for.
int32_t EntryRoom(int64_t size)
{
    const int64_t header = offsetof(PortRemovalList, entries);
    return size < header ? 0 : static_cast<int32_t>((size - header) / static_cast<int64_t>(sizeof(PortRemovalEntry)));
}

// Appends entries to a list block without ever writing past its end.
class EntryWriter {
public:
    EntryWriter(PortRemovalList* list, int32_t room) : list_(list), room_(room) {}

    bool Append(const OpenPortRecord& record, ProfileType profile, bool inBoth)
    {
        if (count_ == room_) {
            return false;
        }
        PortRemovalEntry& entry = *EntryAt(list_, count_++);
        std::memcpy(entry.name, record.name, sizeof entry.name);
        entry.name[sizeof entry.name - 1] = '\0';
        entry.protocol = record.protocol;
        entry.port = record.port;
        entry.profile = static_cast<int32_t>(profile);
        entry.inBoth = inBoth ? 1 : 0;
        return true;
    }

    int32_t Count() const { return count_; }

private:
    PortRemovalList* list_;
    int32_t room_;
    int32_t count_ = 0;
};

// Sum of two table sizes as a list size; each is at most half the int32 range.
int32_t ListSize(uint32_t domainSize, uint32_t standardSize)
{
    return static_cast<int32_t>(domainSize + standardSize);
}

} // namespace

int MonitorPortConfig::BuildRemovalList(PortRemovalList* list, int32_t& size) const
{
    const uint32_t domainSize = ProfileSnapshot::QuerySize(ProfileType::Domain);
    const uint32_t standardSize = ProfileSnapshot::QuerySize(ProfileType::Standard);
    if (size == 0) {
        size = ListSize(domainSize, standardSize);
        return 1;
    }
    if (!list) {
        return 0;
    }
    ProfileSnapshot domain;
    ProfileSnapshot standard;
    if (FAILED(domain.Fill(ProfileType::Domain, domainSize)) ||
        FAILED(standard.Fill(ProfileType::Standard, standardSize))) {
        return 0;
    }
    // Ports that appeared since the size query may need more entries than the block holds:
    // the build then fails rather than hand back a list that silently misses candidates.
    EntryWriter writer(list, EntryRoom(size));
    const TwinIndex domainTwins(domain);
    const TwinIndex standardTwins(standard);
    for (int32_t i = 0; i < domain.Count(); ++i) {
        const OpenPortRecord& record = domain.Record(i);
        if (IsMonitorPortName(record.name) && !writer.Append(record, ProfileType::Domain, standardTwins.HasTwin(record))) {
            return 0;
        }
    }
    for (int32_t i = 0; i < standard.Count(); ++i) {
        const OpenPortRecord& record = standard.Record(i);
        if (IsMonitorPortName(record.name) && !domainTwins.HasTwin(record) &&
            !writer.Append(record, ProfileType::Standard, false)) {
            return 0;
        }
    }
    list->count = writer.Count();
    size = ListSize(domainSize, standardSize);
    return 1;
}

ConfigStatus MonitorPortConfig::QueryRemovalStatus()
{
    int32_t size = 0;
    BuildRemovalList(nullptr, size);
    // Two empty tables: neither profile has any globally open port.
    if (size == static_cast<int32_t>(2 * OpenPortTableSize(0))) {
        return ConfigStatus::NothingToDo;
    }
    removalList = fw::AllocZeroed(static_cast<SIZE_T>(size > 0 ? size : 0));
    removalSize = removalList ? size : 0;
    // Without a block (no memory, or no profile could report a size) there is nothing to fill.
    if (!removalList || !BuildRemovalList(static_cast<PortRemovalList*>(removalList.get()), size)) {
        return ConfigStatus::StatusFailed;
    }
    return RemovalCount() != 0 ? ConfigStatus::WorkNeeded : ConfigStatus::NothingToDo;
}

void MonitorPortConfig::GetRemovalCount(int32_t& count) const
{
    count = RemovalCount();
}

void MonitorPortConfig::GetRemovalEntry(int32_t& protocol, int32_t& port, int index) const
{
    if (index >= 0 && index < RemovalCount()) {
        const PortRemovalEntry& entry = *EntryAt(removalList.get(), index);
        protocol = entry.protocol;
        port = entry.port;
    }
}

void MonitorPortConfig::ExcludeRemovalEntry(int index)
{
    if (index >= 0 && index < RemovalCount()) {
        EntryAt(removalList.get(), index)->port = 0;
    }
}

int MonitorPortConfig::RemoveMonitorPorts() const
{
    bool failed = false;
    const int32_t count = RemovalCount();
    for (int32_t i = 0; i < count; ++i) {
        const PortRemovalEntry& entry = *EntryAt(removalList.get(), i);
        if (entry.port == 0) {
            continue;
        }
        // A port that vanished since the list was built, or that another program's entry of that
        // number has replaced meanwhile, counts as removed (RemoveOpenPort gives 0).
        if (entry.inBoth == 1) {
            failed |= FAILED(RemoveOpenPort(ProfileType::Domain, entry.port, entry.protocol, IsMonitorPortName));
            failed |= FAILED(RemoveOpenPort(ProfileType::Standard, entry.port, entry.protocol, IsMonitorPortName));
        } else {
            failed |= FAILED(
                RemoveOpenPort(static_cast<ProfileType>(entry.profile), entry.port, entry.protocol, IsMonitorPortName));
        }
    }
    return failed ? -1 : 0;
}

int32_t MonitorPortConfig::RemovalCount() const
{
    if (!removalList) {
        return 0;
    }
    const int32_t stored = static_cast<const PortRemovalList*>(removalList.get())->count;
    const int32_t room = EntryRoom(removalSize);
    return stored < 0 ? 0 : (stored < room ? stored : room);
}
