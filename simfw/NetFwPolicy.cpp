#include "NetFwPolicy.h"

#include "NetFwProfile.h"

#include <new>
#include <utility>

namespace simfw {

NetFwPolicy::NetFwPolicy(std::shared_ptr<Session> session) : session_(std::move(session)) {}

bool NetFwPolicy::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_INetFwPolicy);
}

HRESULT NetFwPolicy::HandOutProfile(const Binding& binding, INetFwProfile** profile)
{
    return HandOver(new (std::nothrow) NetFwProfile(session_, binding), IID_INetFwProfile,
                    reinterpret_cast<void**>(profile));
}

STDMETHODIMP NetFwPolicy::get_CurrentProfile(INetFwProfile** profile)
{
    if (!profile) {
        return E_POINTER;
    }
    *profile = nullptr;
    HRESULT hr = session_->Enter("INetFwPolicy::get_CurrentProfile", Binding());
    if (hr != S_OK) {
        return hr;
    }
    Binding binding;
    binding.bound = true;
    binding.profile = session_->State().current; // never changes after loading
    binding.viaCurrent = true;
    return HandOutProfile(binding, profile);
}

STDMETHODIMP NetFwPolicy::GetProfileByType(NET_FW_PROFILE_TYPE profileType, INetFwProfile** profile)
{
    if (!profile) {
        return E_POINTER;
    }
    *profile = nullptr;
    // The call itself counts as made in the profile it asks for: type 2 matches both
    // `fail Current` and the current profile's name.
    Binding binding;
    binding.bound = profileType >= NET_FW_PROFILE_DOMAIN && profileType <= NET_FW_PROFILE_CURRENT;
    binding.profile = profileType == NET_FW_PROFILE_DOMAIN    ? Profile::Domain
                      : profileType == NET_FW_PROFILE_STANDARD ? Profile::Standard
                                                               : session_->State().current;
    binding.viaCurrent = profileType == NET_FW_PROFILE_CURRENT;
    HRESULT hr = session_->Enter("INetFwPolicy::GetProfileByType", binding);
    if (hr != S_OK) {
        return hr;
    }
    return binding.bound ? HandOutProfile(binding, profile) : E_INVALIDARG;
}

} // namespace simfw
