#include "NetFwProfile.h"

#include "NetFwOpenPorts.h"

#include <new>
#include <utility>

namespace simfw {

NetFwProfile::NetFwProfile(std::shared_ptr<Session> session, const Binding& binding)
    : session_(std::move(session)), binding_(binding)
{
}

bool NetFwProfile::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_INetFwProfile);
}

STDMETHODIMP NetFwProfile::get_GloballyOpenPorts(INetFwOpenPorts** openPorts)
{
    if (!openPorts) {
        return E_POINTER;
    }
    *openPorts = nullptr;
    HRESULT hr = session_->Enter("INetFwProfile::get_GloballyOpenPorts", binding_);
    if (hr != S_OK) {
        return hr;
    }
    return HandOver(new (std::nothrow) NetFwOpenPorts(session_, binding_), IID_INetFwOpenPorts,
                    reinterpret_cast<void**>(openPorts));
}

} // namespace simfw
