// The one translation unit of the firewall library that defines the firewall's CLSIDs and
// IIDs (libuuid lacks them).
#include <initguid.h>

#include "firewall/FirewallPorts.h"

#include "firewall/AnsiField.h"

namespace {

// A call that reports success but hands back no object counts as failed, so that no caller
// ever dereferences a null interface pointer.
template <typename T>
HRESULT Obtained(HRESULT hr, const fw::ComPtr<T>& object)
{
    return SUCCEEDED(hr) && !object ? E_POINTER : hr;
}

HRESULT OpenPortCollection(ProfileType type, FirewallProfile& profile, fw::ComPtr<INetFwOpenPorts>& ports)
{
    HRESULT hr = OpenFirewallProfile(type, profile);
    if (FAILED(hr)) {
        return hr;
    }
    return Obtained(profile.profile->get_GloballyOpenPorts(ports.put()), ports);
}

HRESULT SetNewPortProperties(INetFwOpenPort& port, BSTR name, int32_t ipVersion, int32_t protocol,
                             int32_t portNumber, int32_t scope, BSTR remoteAddresses, VARIANT_BOOL enabled)
{
    HRESULT hr = port.put_Name(name);
    if (SUCCEEDED(hr)) {
        hr = port.put_IpVersion(static_cast<NET_FW_IP_VERSION>(ipVersion));
    }
    if (SUCCEEDED(hr)) {
        hr = port.put_Protocol(static_cast<NET_FW_IP_PROTOCOL>(protocol));
    }
    if (SUCCEEDED(hr)) {
        hr = port.put_Port(portNumber);
    }
    // Windows takes no custom scope as such: setting the remote address list makes it custom.
    if (SUCCEEDED(hr) && scope == ScopeCustom) {
        hr = port.put_RemoteAddresses(remoteAddresses);
    } else if (SUCCEEDED(hr)) {
        hr = port.put_Scope(static_cast<NET_FW_SCOPE>(scope));
    }
    if (SUCCEEDED(hr)) {
        hr = port.put_Enabled(enabled);
    }
    return hr;
}

// Reads every property of one port into its record, stopping at the first failure. The
// strings obtained so far are handed back so that they are converted whatever happened.
HRESULT ReadPortProperties(INetFwOpenPort& port, OpenPortRecord& record, fw::UniqueBstr& name,
                           fw::UniqueBstr& remoteAddresses)
{
    HRESULT hr = port.get_Name(name.put());
    NET_FW_IP_VERSION ipVersion = NET_FW_IP_VERSION_ANY;
    if (SUCCEEDED(hr)) {
        hr = port.get_IpVersion(&ipVersion);
        record.ipVersion = ipVersion;
    }
    NET_FW_IP_PROTOCOL protocol = NET_FW_IP_PROTOCOL_UDP;
    if (SUCCEEDED(hr)) {
        hr = port.get_Protocol(&protocol);
        record.protocol = protocol;
    }
    long portNumber = 0;
    if (SUCCEEDED(hr)) {
        hr = port.get_Port(&portNumber);
        record.port = portNumber;
    }
    NET_FW_SCOPE scope = NET_FW_SCOPE_ALL;
    if (SUCCEEDED(hr)) {
        hr = port.get_Scope(&scope);
        record.scope = scope;
    }
    if (SUCCEEDED(hr)) {
        hr = port.get_RemoteAddresses(remoteAddresses.put());
    }
    VARIANT_BOOL flag = VARIANT_FALSE;
    if (SUCCEEDED(hr)) {
        hr = port.get_Enabled(&flag);
        record.enabled = flag;
    }
    if (SUCCEEDED(hr)) {
        flag = VARIANT_FALSE;
        hr = port.get_BuiltIn(&flag);
        record.builtIn = flag;
    }
    return hr;
}

// Fills `record` from one enumerated element. The element's type is checked before its
// pointer is used: a real service yields VT_DISPATCH, anything without an interface fails.
HRESULT ReadEnumeratedPort(const VARIANT& element, OpenPortRecord& record)
{
    IUnknown* object = nullptr;
    if (element.vt == VT_DISPATCH) {
        object = element.pdispVal;
    } else if (element.vt == VT_UNKNOWN) {
        object = element.punkVal;
    }
    if (!object) {
        return DISP_E_TYPEMISMATCH;
    }
    fw::ComPtr<INetFwOpenPort> port;
    HRESULT hr = Obtained(object->QueryInterface(IID_INetFwOpenPort, port.put_void()), port);
    if (FAILED(hr)) {
        return hr;
    }
    fw::UniqueBstr name;
    fw::UniqueBstr remoteAddresses;
    hr = ReadPortProperties(*port.get(), record, name, remoteAddresses);
    const HRESULT nameResult = CopyToAnsiField(name.get(), record.name);
    const HRESULT remoteResult = CopyToAnsiField(remoteAddresses.get(), record.remoteAddresses);
    if (SUCCEEDED(hr)) {
        hr = FAILED(nameResult) ? nameResult : remoteResult;
    }
    return hr;
}

// Fills up to `capacity` records of `table` from the collection's enumerator. Returns the
// first result of Next other than S_OK (S_FALSE at the normal end), a failure, or S_FALSE
// when the enumeration yields more elements than the table has room for.
HRESULT FillRecords(INetFwOpenPorts& ports, void* table, uint32_t capacity)
{
    fw::ComPtr<IUnknown> enumObject;
    HRESULT hr = Obtained(ports.get__NewEnum(enumObject.put()), enumObject);
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<IEnumVARIANT> enumerator;
    hr = Obtained(enumObject.QueryTo(IID_IEnumVARIANT, enumerator), enumerator);
    if (FAILED(hr)) {
        return hr;
    }
    uint32_t filled = 0;
    for (;;) {
        fw::UniqueVariant element;
        ULONG fetched = 0;
        hr = enumerator->Next(1, element.get(), &fetched);
        if (hr != S_OK) {
            return hr;
        }
        // S_OK promises the one element asked for; skipping an empty answer and asking again
        // could go on forever.
        if (fetched != 1) {
            return E_UNEXPECTED;
        }
        if (filled == capacity) {
            return S_FALSE;
        }
        hr = ReadEnumeratedPort(*element.get(), *OpenPortTableRecord(table, filled));
        if (FAILED(hr)) {
            return hr;
        }
        ++filled;
    }
}

} // namespace

FirewallProfile::~FirewallProfile()
{
    CloseFirewallProfile(*this);
}

HRESULT OpenFirewallProfile(ProfileType type, FirewallProfile& out)
{
    CloseFirewallProfile(out);
    out.com.emplace();
    HRESULT hr = out.com->Result();
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwMgr> manager;
    hr = Obtained(fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager), manager);
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwPolicy> policy;
    hr = Obtained(manager->get_LocalPolicy(policy.put()), policy);
    if (FAILED(hr)) {
        return hr;
    }
    return Obtained(policy->GetProfileByType(static_cast<NET_FW_PROFILE_TYPE>(type), out.profile.put()),
                    out.profile);
}

void CloseFirewallProfile(FirewallProfile& profile)
{
    profile.profile.reset();
    profile.com.reset();
}

HRESULT AddOrEnableOpenPort(ProfileType type, const wchar_t* name, int32_t ipVersion, int32_t protocol,
                            int32_t port, int32_t scope, const wchar_t* remoteAddresses, bool enabled)
{
    FirewallProfile profile;
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPortCollection(type, profile, ports);
    if (FAILED(hr)) {
        return hr;
    }
    const VARIANT_BOOL enabledValue = enabled ? VARIANT_TRUE : VARIANT_FALSE;
    fw::ComPtr<INetFwOpenPort> openPort;
    // Any port of that number and protocol is switched on as it is, whatever its name.
    if (SUCCEEDED(Obtained(ports->Item(port, static_cast<NET_FW_IP_PROTOCOL>(protocol), openPort.put()), openPort))) {
        return openPort->put_Enabled(enabledValue);
    }
    hr = Obtained(fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, openPort), openPort);
    if (FAILED(hr)) {
        return hr;
    }
    fw::UniqueBstr nameText(::SysAllocString(name));
    fw::UniqueBstr remoteText(::SysAllocString(remoteAddresses));
    if ((name && !nameText) || (remoteAddresses && !remoteText)) {
        return E_OUTOFMEMORY;
    }
    hr = SetNewPortProperties(*openPort.get(), nameText.get(), ipVersion, protocol, port, scope, remoteText.get(),
                              enabledValue);
    if (FAILED(hr)) {
        return hr;
    }
    return ports->Add(openPort.get());
}

HRESULT RemoveOpenPort(ProfileType type, int32_t port, int32_t protocol, bool (*isOwnName)(const char* name))
{
    FirewallProfile profile;
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPortCollection(type, profile, ports);
    if (FAILED(hr)) {
        return hr;
    }
    const auto ipProtocol = static_cast<NET_FW_IP_PROTOCOL>(protocol);
    fw::ComPtr<INetFwOpenPort> openPort;
    hr = ports->Item(port, ipProtocol, openPort.put());
    if (hr == HRESULT_PORT_NOT_FOUND) {
        return S_OK;
    }
    // The entry may have changed hands since it was listed: its name is read again, and a port
    // whose name cannot be read is left where it is.
    hr = Obtained(hr, openPort);
    if (FAILED(hr)) {
        return hr;
    }
    fw::UniqueBstr name;
    hr = openPort->get_Name(name.put());
    if (FAILED(hr)) {
        return hr;
    }
    char field[AnsiFieldSize];
    hr = CopyToAnsiField(name.get(), field);
    if (FAILED(hr)) {
        return hr;
    }
    // Another program's port of that number is not the one that was asked for: that is gone.
    if (!isOwnName(field)) {
        return S_OK;
    }
    return ports->Remove(port, ipProtocol);
}

HRESULT ListOpenPorts(ProfileType type, void* buffer, uint32_t bufferSize, uint32_t* requiredSize)
{
    FirewallProfile profile;
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPortCollection(type, profile, ports);
    if (FAILED(hr)) {
        return hr;
    }
    long count = 0;
    hr = ports->get_Count(&count);
    if (FAILED(hr)) {
        return hr;
    }
    if (count < 0 || static_cast<unsigned long>(count) > MaxOpenPorts) {
        return E_UNEXPECTED;
    }
    const uint32_t size = OpenPortTableSize(static_cast<uint32_t>(count));
    if (requiredSize) {
        *requiredSize = size;
    }
    if (!buffer || bufferSize < size) {
        return -1;
    }
    static_cast<OpenPortTable*>(buffer)->count = count;
    return FillRecords(*ports.get(), buffer, static_cast<uint32_t>(count));
}

HRESULT ProbeFirewall()
{
    FirewallProfile profile;
    return OpenFirewallProfile(ProfileType::Current, profile);
}
