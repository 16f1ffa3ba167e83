#include "NetFwMgr.h"

#include "NetFwPolicy.h"

#include <new>
#include <utility>

namespace simfw {

NetFwMgr::NetFwMgr(std::shared_ptr<Session> session) : session_(std::move(session)) {}

HRESULT NetFwMgr::Create(REFIID iid, void** out)
{
    if (out) {
        *out = nullptr;
    }
    std::shared_ptr<Session> session = Session::Load();
    HRESULT hr = session->EnterCreate("NetFwMgr::Create");
    if (hr != S_OK) {
        return hr;
    }
    return HandOver(new (std::nothrow) NetFwMgr(session), iid, out);
}

bool NetFwMgr::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_INetFwMgr);
}

STDMETHODIMP NetFwMgr::get_LocalPolicy(INetFwPolicy** localPolicy)
{
    if (!localPolicy) {
        return E_POINTER;
    }
    *localPolicy = nullptr;
    HRESULT hr = session_->Enter("INetFwMgr::get_LocalPolicy", Binding());
    if (hr != S_OK) {
        return hr;
    }
    return HandOver(new (std::nothrow) NetFwPolicy(session_), IID_INetFwPolicy, reinterpret_cast<void**>(localPolicy));
}

} // namespace simfw
