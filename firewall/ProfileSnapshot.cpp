#include "firewall/ProfileSnapshot.h"

uint32_t ProfileSnapshot::QuerySize(ProfileType type)
{
    uint32_t size = 0;
    ListOpenPorts(type, nullptr, 0, &size);
    return size;
}

HRESULT ProfileSnapshot::Fill(ProfileType type, uint32_t size)
{
    count_ = 0;
    block_ = fw::AllocZeroed(size);
    uint32_t required = 0;
    const HRESULT hr = ListOpenPorts(type, block_.get(), block_ ? size : 0, &required);
    if (SUCCEEDED(hr)) {
        // Never more records than the block holds, whatever the count field says.
        const int32_t stored = static_cast<const OpenPortTable*>(block_.get())->count;
        const int32_t room = static_cast<int32_t>((size - OpenPortTableSize(0)) / sizeof(OpenPortRecord));
        count_ = stored < 0 ? 0 : (stored < room ? stored : room);
    }
    return hr;
}

HRESULT ProfileSnapshot::Take(ProfileType type)
{
    return Fill(type, QuerySize(type));
}

int32_t ProfileSnapshot::Count() const
{
    return count_;
}

const OpenPortRecord& ProfileSnapshot::Record(int32_t index) const
{
    return *OpenPortTableRecord(block_.get(), static_cast<uint32_t>(index));
}
