#pragma once

#include "ComObject.h"
#include "Session.h"

#include <netfw.h>

#include <memory>

namespace simfw {

// The globally open ports of one profile, keyed by port number and protocol.
class NetFwOpenPorts final : public DispatchObject<NetFwOpenPorts, INetFwOpenPorts> {
public:
    NetFwOpenPorts(std::shared_ptr<Session> session, const Binding& binding);

    bool Supports(REFIID iid) const;

    STDMETHODIMP get_Count(LONG* count) override;
    STDMETHODIMP Add(INetFwOpenPort* port) override;
    STDMETHODIMP Remove(LONG portNumber, NET_FW_IP_PROTOCOL ipProtocol) override;
    STDMETHODIMP Item(LONG portNumber, NET_FW_IP_PROTOCOL ipProtocol, INetFwOpenPort** openPort) override;
    STDMETHODIMP get__NewEnum(IUnknown** newEnum) override;

private:
    PortList& Ports();

    std::shared_ptr<Session> session_;
    Binding binding_;
};

} // namespace simfw
