#include "NetFwOpenPort.h"

#include "RemoteAddresses.h"
#include "Utf.h"

#include <new>
#include <utility>

namespace simfw {

namespace {

// Answers QueryInterface only on simfw's own port objects: Add copies their settings directly,
// past the fault injection of their getters. {6F1D2C3B-5A8E-4B7D-9C21-3E4F5A6B7C8D}
const IID IID_SimFwPortSettings = {0x6f1d2c3b, 0x5a8e, 0x4b7d, {0x9c, 0x21, 0x3e, 0x4f, 0x5a, 0x6b, 0x7c, 0x8d}};

std::wstring FromBstr(BSTR text)
{
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

HRESULT ToBstr(const std::wstring& text, BSTR& out)
{
    out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return out ? S_OK : E_OUTOFMEMORY;
}

// The state file holds one port a line, the remote list as one field and the name from the
// first non-blank character on: texts that would not read back the same are refused.
bool StorableName(const std::wstring& name)
{
    std::string utf8;
    return name.find_first_of(L"\r\n") == std::wstring::npos && (name.empty() || (name[0] != L' ' && name[0] != L'\t')) &&
           WideToUtf8(name, utf8);
}

} // namespace

NetFwOpenPort::NetFwOpenPort(std::shared_ptr<Session> session, std::shared_ptr<PortEntry> entry, const Binding& binding,
                             bool attached)
    : session_(std::move(session)), entry_(std::move(entry)), binding_(binding), attached_(attached)
{
}

HRESULT NetFwOpenPort::Create(REFIID iid, void** out)
{
    if (out) {
        *out = nullptr;
    }
    std::shared_ptr<Session> session = Session::Load();
    HRESULT hr = session->EnterCreate("NetFwOpenPort::Create");
    if (hr != S_OK) {
        return hr;
    }
    return HandOver(new (std::nothrow) NetFwOpenPort(session, std::make_shared<PortEntry>(), Binding(), false), iid, out);
}

NetFwOpenPort* NetFwOpenPort::Attach(const std::shared_ptr<Session>& session, const std::shared_ptr<PortEntry>& entry,
                                     const Binding& binding)
{
    return new (std::nothrow) NetFwOpenPort(session, entry, binding, true);
}

bool NetFwOpenPort::ReadSettings(INetFwOpenPort* port, PortEntry& settings)
{
    void* own = nullptr;
    if (!port || FAILED(port->QueryInterface(IID_SimFwPortSettings, &own)) || !own) {
        return false;
    }
    // The private interface pointer is the object's INetFwOpenPort.
    auto* object = static_cast<NetFwOpenPort*>(static_cast<INetFwOpenPort*>(own));
    {
        Session::Lock lock(*object->session_);
        settings = *object->entry_;
    }
    object->Release();
    return true;
}

bool NetFwOpenPort::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_INetFwOpenPort) || IsEqualIID(iid, IID_SimFwPortSettings);
}

HRESULT NetFwOpenPort::BeforeQueryInterface(REFIID iid)
{
    return IsEqualIID(iid, IID_SimFwPortSettings) ? S_OK : session_->Enter("INetFwOpenPort::QueryInterface", binding_);
}

template <typename T, typename Read>
HRESULT NetFwOpenPort::Get(const char* method, T* out, Read read)
{
    if (!out) {
        return E_POINTER;
    }
    *out = T();
    HRESULT hr = session_->Enter(method, binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    return read(*entry_, *out);
}

template <typename Change>
HRESULT NetFwOpenPort::Put(const char* method, Change change)
{
    HRESULT hr = session_->Enter(method, binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    PortEntry changed = *entry_;
    if (!change(changed)) {
        return E_INVALIDARG;
    }
    *entry_ = changed;
    return attached_ ? session_->Save() : S_OK;
}

STDMETHODIMP NetFwOpenPort::get_Name(BSTR* name)
{
    return Get("INetFwOpenPort::get_Name", name, [](const PortEntry& e, BSTR& out) { return ToBstr(e.name, out); });
}

STDMETHODIMP NetFwOpenPort::put_Name(BSTR name)
{
    std::wstring text = FromBstr(name);
    return Put("INetFwOpenPort::put_Name", [&text](PortEntry& e) {
        e.name = text;
        return StorableName(text);
    });
}

STDMETHODIMP NetFwOpenPort::get_IpVersion(NET_FW_IP_VERSION* ipVersion)
{
    return Get("INetFwOpenPort::get_IpVersion", ipVersion, [](const PortEntry& e, NET_FW_IP_VERSION& out) {
        out = static_cast<NET_FW_IP_VERSION>(e.ipVersion);
        return S_OK;
    });
}

STDMETHODIMP NetFwOpenPort::put_IpVersion(NET_FW_IP_VERSION ipVersion)
{
    return Put("INetFwOpenPort::put_IpVersion", [ipVersion](PortEntry& e) {
        e.ipVersion = ipVersion;
        return ipVersion >= NET_FW_IP_VERSION_V4 && ipVersion <= NET_FW_IP_VERSION_ANY;
    });
}

STDMETHODIMP NetFwOpenPort::get_Protocol(NET_FW_IP_PROTOCOL* ipProtocol)
{
    return Get("INetFwOpenPort::get_Protocol", ipProtocol, [](const PortEntry& e, NET_FW_IP_PROTOCOL& out) {
        out = static_cast<NET_FW_IP_PROTOCOL>(e.protocol);
        return S_OK;
    });
}

STDMETHODIMP NetFwOpenPort::put_Protocol(NET_FW_IP_PROTOCOL ipProtocol)
{
    return Put("INetFwOpenPort::put_Protocol", [ipProtocol](PortEntry& e) {
        e.protocol = ipProtocol;
        return ipProtocol == NET_FW_IP_PROTOCOL_TCP || ipProtocol == NET_FW_IP_PROTOCOL_UDP;
    });
}

STDMETHODIMP NetFwOpenPort::get_Port(LONG* portNumber)
{
    return Get("INetFwOpenPort::get_Port", portNumber, [](const PortEntry& e, LONG& out) {
        out = e.port;
        return S_OK;
    });
}

STDMETHODIMP NetFwOpenPort::put_Port(LONG portNumber)
{
    return Put("INetFwOpenPort::put_Port", [portNumber](PortEntry& e) {
        e.port = portNumber;
        return portNumber >= 1 && portNumber <= 65535;
    });
}

STDMETHODIMP NetFwOpenPort::get_Scope(NET_FW_SCOPE* scope)
{
    return Get("INetFwOpenPort::get_Scope", scope, [](const PortEntry& e, NET_FW_SCOPE& out) {
        out = static_cast<NET_FW_SCOPE>(e.scope);
        return S_OK;
    });
}

// Only the two predefined scopes may be set; a custom scope comes from the address list, which
// a predefined scope replaces.
STDMETHODIMP NetFwOpenPort::put_Scope(NET_FW_SCOPE scope)
{
    return Put("INetFwOpenPort::put_Scope", [scope](PortEntry& e) {
        e.scope = scope;
        e.remoteAddresses.clear();
        return scope == NET_FW_SCOPE_ALL || scope == NET_FW_SCOPE_LOCAL_SUBNET;
    });
}

STDMETHODIMP NetFwOpenPort::get_RemoteAddresses(BSTR* remoteAddrs)
{
    return Get("INetFwOpenPort::get_RemoteAddresses", remoteAddrs, [](const PortEntry& e, BSTR& out) {
        return ToBstr(e.remoteAddresses.empty() ? RemoteAddressesOfScope(e.scope) : e.remoteAddresses, out);
    });
}

// A valid list sets the scope it stands for: "*" all, LocalSubnet alone the local subnet, any
// other list a custom scope. A null or empty list is no list.
STDMETHODIMP NetFwOpenPort::put_RemoteAddresses(BSTR remoteAddrs)
{
    std::wstring text = FromBstr(remoteAddrs);
    return Put("INetFwOpenPort::put_RemoteAddresses", [&text](PortEntry& e) {
        e.remoteAddresses = text;
        e.scope = ScopeOfRemoteAddresses(text);
        return e.scope >= 0;
    });
}

STDMETHODIMP NetFwOpenPort::get_Enabled(VARIANT_BOOL* enabled)
{
    return Get("INetFwOpenPort::get_Enabled", enabled, [](const PortEntry& e, VARIANT_BOOL& out) {
        out = e.enabled ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

STDMETHODIMP NetFwOpenPort::put_Enabled(VARIANT_BOOL enabled)
{
    return Put("INetFwOpenPort::put_Enabled", [enabled](PortEntry& e) {
        e.enabled = enabled != VARIANT_FALSE;
        return true;
    });
}

STDMETHODIMP NetFwOpenPort::get_BuiltIn(VARIANT_BOOL* builtIn)
{
    return Get("INetFwOpenPort::get_BuiltIn", builtIn, [](const PortEntry& e, VARIANT_BOOL& out) {
        out = e.builtIn ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

} // namespace simfw
