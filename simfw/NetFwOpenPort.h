#pragma once

#include "ComObject.h"
#include "Session.h"

#include <netfw.h>

#include <memory>

namespace simfw {

// A globally open port. Attached to a stored entry (from Item or an enumeration: changes are
// saved at once) or free-standing (from CLSID_NetFwOpenPort: nothing is stored until
// INetFwOpenPorts::Add copies it in). Values outside the published ranges, what Windows
// documents as invalid (a custom scope set as such, a malformed address list) and texts the
// state file cannot hold are refused with E_INVALIDARG (see README.md).
class NetFwOpenPort final : public DispatchObject<NetFwOpenPort, INetFwOpenPort> {
public:
    // CreateInstance of CLSID_NetFwOpenPort.
    static HRESULT Create(REFIID iid, void** out);
    // A port object over `entry`, which lives in `session`'s state; null when out of memory.
    static NetFwOpenPort* Attach(const std::shared_ptr<Session>& session, const std::shared_ptr<PortEntry>& entry,
                                 const Binding& binding);
    // The settings of `port` when it is a simfw port object; false for anyone else's object.
    static bool ReadSettings(INetFwOpenPort* port, PortEntry& settings);

    bool Supports(REFIID iid) const;
    HRESULT BeforeQueryInterface(REFIID iid);

    STDMETHODIMP get_Name(BSTR* name) override;
    STDMETHODIMP put_Name(BSTR name) override;
    STDMETHODIMP get_IpVersion(NET_FW_IP_VERSION* ipVersion) override;
    STDMETHODIMP put_IpVersion(NET_FW_IP_VERSION ipVersion) override;
    STDMETHODIMP get_Protocol(NET_FW_IP_PROTOCOL* ipProtocol) override;
    STDMETHODIMP put_Protocol(NET_FW_IP_PROTOCOL ipProtocol) override;
    STDMETHODIMP get_Port(LONG* portNumber) override;
    STDMETHODIMP put_Port(LONG portNumber) override;
    STDMETHODIMP get_Scope(NET_FW_SCOPE* scope) override;
    STDMETHODIMP put_Scope(NET_FW_SCOPE scope) override;
    STDMETHODIMP get_RemoteAddresses(BSTR* remoteAddrs) override;
    STDMETHODIMP put_RemoteAddresses(BSTR remoteAddrs) override;
    STDMETHODIMP get_Enabled(VARIANT_BOOL* enabled) override;
    STDMETHODIMP put_Enabled(VARIANT_BOOL enabled) override;
    STDMETHODIMP get_BuiltIn(VARIANT_BOOL* builtIn) override;

private:
    NetFwOpenPort(std::shared_ptr<Session> session, std::shared_ptr<PortEntry> entry, const Binding& binding,
                  bool attached);

    template <typename T, typename Read>
    HRESULT Get(const char* method, T* out, Read read);
    template <typename Change>
    HRESULT Put(const char* method, Change change);

    std::shared_ptr<Session> session_;
    std::shared_ptr<PortEntry> entry_;
    Binding binding_;
    bool attached_;
};

} // namespace simfw
