#pragma once

#include "ComObject.h"
#include "Session.h"

#include <netfw.h>

#include <memory>

namespace simfw {

// One firewall profile; only its globally open ports are simulated.
class NetFwProfile final : public DispatchObject<NetFwProfile, INetFwProfile> {
public:
    NetFwProfile(std::shared_ptr<Session> session, const Binding& binding);

    bool Supports(REFIID iid) const;

    STDMETHODIMP get_GloballyOpenPorts(INetFwOpenPorts** openPorts) override;

    STDMETHODIMP get_Type(NET_FW_PROFILE_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP get_FirewallEnabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_FirewallEnabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_ExceptionsNotAllowed(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_ExceptionsNotAllowed(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_NotificationsDisabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_NotificationsDisabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_UnicastResponsesToMulticastBroadcastDisabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_UnicastResponsesToMulticastBroadcastDisabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_RemoteAdminSettings(INetFwRemoteAdminSettings** settings) override { return NotImplemented(settings); }
    STDMETHODIMP get_IcmpSettings(INetFwIcmpSettings** settings) override { return NotImplemented(settings); }
    STDMETHODIMP get_Services(INetFwServices** services) override { return NotImplemented(services); }
    STDMETHODIMP get_AuthorizedApplications(INetFwAuthorizedApplications** apps) override { return NotImplemented(apps); }

private:
    template <typename T>
    static HRESULT NotImplemented(T** out)
    {
        if (out) {
            *out = nullptr;
        }
        return E_NOTIMPL;
    }

    std::shared_ptr<Session> session_;
    Binding binding_;
};

} // namespace simfw
