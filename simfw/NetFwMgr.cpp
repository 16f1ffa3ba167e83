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

HRESULT NetFwMgr::BeforeQueryInterface(REFIID)
{
    return session_->Enter("INetFwMgr::QueryInterface", Binding());
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

STDMETHODIMP NetFwMgr::get_CurrentProfileType(NET_FW_PROFILE_TYPE* profileType)
{
    if (!profileType) {
        return E_POINTER;
    }
    *profileType = NET_FW_PROFILE_DOMAIN;
    HRESULT hr = session_->Enter("INetFwMgr::get_CurrentProfileType", Binding());
    if (hr != S_OK) {
        return hr;
    }
    *profileType = session_->State().current == Profile::Domain ? NET_FW_PROFILE_DOMAIN : NET_FW_PROFILE_STANDARD;
    return S_OK;
}

} // namespace simfw
