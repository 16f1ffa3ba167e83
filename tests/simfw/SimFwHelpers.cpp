#include "SimFwHelpers.h"

#include "support/SimFwProbe.h"

namespace simfwtest {

HRESULT OpenPorts(Route route, fw::ComPtr<INetFwOpenPorts>& ports)
{
    fw::ComPtr<INetFwMgr> manager;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager);
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwPolicy> policy;
    hr = manager->get_LocalPolicy(policy.put());
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwProfile> profile;
    switch (route) {
    case Route::Domain:
        hr = policy->GetProfileByType(NET_FW_PROFILE_DOMAIN, profile.put());
        break;
    case Route::Standard:
        hr = policy->GetProfileByType(NET_FW_PROFILE_STANDARD, profile.put());
        break;
    case Route::Current:
        hr = policy->GetProfileByType(NET_FW_PROFILE_CURRENT, profile.put());
        break;
    case Route::CurrentProperty:
        hr = policy->get_CurrentProfile(profile.put());
        break;
    }
    if (FAILED(hr)) {
        return hr;
    }
    return profile->get_GloballyOpenPorts(ports.put());
}

HRESULT NewPort(const wchar_t* name, LONG number, NET_FW_IP_PROTOCOL protocol, fw::ComPtr<INetFwOpenPort>& port)
{
    HRESULT hr = fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port);
    fw::UniqueBstr bstr(::SysAllocString(name));
    if (SUCCEEDED(hr)) {
        hr = port->put_Name(bstr.get());
    }
    if (SUCCEEDED(hr)) {
        hr = port->put_Protocol(protocol);
    }
    if (SUCCEEDED(hr)) {
        hr = port->put_Port(number);
    }
    if (SUCCEEDED(hr)) {
        hr = port->put_Scope(NET_FW_SCOPE_LOCAL_SUBNET);
    }
    return hr;
}

HRESULT AddPort(Route route, const wchar_t* name, LONG number, NET_FW_IP_PROTOCOL protocol)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    HRESULT hr = OpenPorts(route, ports);
    fw::ComPtr<INetFwOpenPort> port;
    if (SUCCEEDED(hr)) {
        hr = NewPort(name, number, protocol, port);
    }
    return SUCCEEDED(hr) ? ports->Add(port.get()) : hr;
}

HRESULT Enumerate(INetFwOpenPorts* ports, fw::ComPtr<IEnumVARIANT>& enumerator)
{
    fw::ComPtr<IUnknown> object;
    HRESULT hr = ports->get__NewEnum(object.put());
    return SUCCEEDED(hr) ? object.QueryTo(IID_IEnumVARIANT, enumerator) : hr;
}

std::wstring NameOf(INetFwOpenPort* port)
{
    fw::UniqueBstr name;
    if (FAILED(port->get_Name(name.put()))) {
        return L"?";
    }
    return std::wstring(name.get(), ::SysStringLen(name.get()));
}

std::vector<Element> Walk(INetFwOpenPorts* ports)
{
    std::vector<Element> elements;
    fw::ComPtr<IEnumVARIANT> enumerator;
    EXPECT_EQ(S_OK, Enumerate(ports, enumerator));
    if (!enumerator) {
        return elements;
    }
    for (;;) {
        fw::UniqueVariant value;
        ULONG fetched = 0;
        HRESULT hr = enumerator->Next(1, value.put(), &fetched);
        if (hr != S_OK) {
            EXPECT_EQ(S_FALSE, hr);
            EXPECT_EQ(0u, fetched);
            return elements;
        }
        EXPECT_EQ(1u, fetched);
        Element element{V_VT(value.get()), std::wstring()};
        fw::ComPtr<INetFwOpenPort> port;
        if (element.type == VT_DISPATCH && V_DISPATCH(value.get()) &&
            SUCCEEDED(V_DISPATCH(value.get())->QueryInterface(IID_INetFwOpenPort, port.put_void()))) {
            LONG number = 0;
            NET_FW_IP_PROTOCOL protocol = NET_FW_IP_PROTOCOL_TCP;
            EXPECT_EQ(S_OK, port->get_Port(&number));
            EXPECT_EQ(S_OK, port->get_Protocol(&protocol));
            element.port = NameOf(port.get()) + L"/" + std::to_wstring(number) + L"/" + std::to_wstring(protocol);
        }
        elements.push_back(element);
    }
}

void SimFwTest::SetUp()
{
    ASSERT_EQ(S_OK, com_.Result());
    // Pins the DLL now, so that the count in TearDown outlives COM's unloading.
    ASSERT_EQ(0, testsupport::SimFwLiveObjects());
}

void SimFwTest::TearDown()
{
    EXPECT_EQ(0, testsupport::SimFwLiveObjects()) << "simfw objects still alive at the end of the test";
}

} // namespace simfwtest
