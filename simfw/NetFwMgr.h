#pragma once

#include "ComObject.h"
#include "Session.h"

#include <netfw.h>

#include <memory>

namespace simfw {

// The firewall manager, CLSID_NetFwMgr: creating it reads the state file into the session that
// every object reached from it shares.
class NetFwMgr final : public DispatchObject<NetFwMgr, INetFwMgr> {
public:
    // CreateInstance of CLSID_NetFwMgr.
    static HRESULT Create(REFIID iid, void** out);

    bool Supports(REFIID iid) const;

    STDMETHODIMP get_LocalPolicy(INetFwPolicy** localPolicy) override;
    STDMETHODIMP get_CurrentProfileType(NET_FW_PROFILE_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP RestoreDefaults() override { return E_NOTIMPL; }
    STDMETHODIMP IsPortAllowed(BSTR, NET_FW_IP_VERSION, LONG, BSTR, NET_FW_IP_PROTOCOL, VARIANT*, VARIANT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsIcmpTypeAllowed(NET_FW_IP_VERSION, BSTR, BYTE, VARIANT*, VARIANT*) override { return E_NOTIMPL; }

private:
    explicit NetFwMgr(std::shared_ptr<Session> session);

    std::shared_ptr<Session> session_;
};

} // namespace simfw
