#pragma once

#include "ComObject.h"
#include "Session.h"

#include <netfw.h>

#include <memory>

namespace simfw {

// The local policy: hands out the Domain and Standard profiles, and the current one.
class NetFwPolicy final : public DispatchObject<NetFwPolicy, INetFwPolicy> {
public:
    explicit NetFwPolicy(std::shared_ptr<Session> session);

    bool Supports(REFIID iid) const;

    STDMETHODIMP get_CurrentProfile(INetFwProfile** profile) override;
    STDMETHODIMP GetProfileByType(NET_FW_PROFILE_TYPE profileType, INetFwProfile** profile) override;

private:
    HRESULT HandOutProfile(const Binding& binding, INetFwProfile** profile);

    std::shared_ptr<Session> session_;
};

} // namespace simfw
