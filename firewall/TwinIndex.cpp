#include "firewall/TwinIndex.h"

#include <algorithm>

namespace {

bool KeyLess(const OpenPortRecord& a, const OpenPortRecord& b)
{
    return a.protocol != b.protocol ? a.protocol < b.protocol : a.port < b.port;
}

bool SameKey(const OpenPortRecord& a, const OpenPortRecord& b)
{
    return a.protocol == b.protocol && a.port == b.port;
}

bool IsTwin(const OpenPortRecord& a, const OpenPortRecord& b)
{
    return SameKey(a, b) && ::lstrcmpA(a.name, b.name) == 0;
}

} // namespace

TwinIndex::TwinIndex(const ProfileSnapshot& snapshot)
    : snapshot_(snapshot), order_(fw::AllocZeroed(sizeof(int32_t) * static_cast<SIZE_T>(snapshot.Count())))
{
    // Without memory for the order, lookups fall back to a scan of the table.
    if (!order_) {
        return;
    }
    int32_t* order = static_cast<int32_t*>(order_.get());
    const int32_t count = snapshot_.Count();
    for (int32_t i = 0; i < count; ++i) {
        order[i] = i;
    }
    std::sort(order, order + count,
              [this](int32_t a, int32_t b) { return KeyLess(snapshot_.Record(a), snapshot_.Record(b)); });
}

bool TwinIndex::HasTwin(const OpenPortRecord& record) const
{
    const int32_t count = snapshot_.Count();
    if (!order_) {
        for (int32_t i = 0; i < count; ++i) {
            if (IsTwin(snapshot_.Record(i), record)) {
                return true;
            }
        }
        return false;
    }
    const int32_t* order = static_cast<const int32_t*>(order_.get());
    const int32_t* it = std::lower_bound(order, order + count, record, [this](int32_t index, const OpenPortRecord& key) {
        return KeyLess(snapshot_.Record(index), key);
    });
    for (; it != order + count && SameKey(snapshot_.Record(*it), record); ++it) {
        if (::lstrcmpA(snapshot_.Record(*it).name, record.name) == 0) {
            return true;
        }
    }
    return false;
}
