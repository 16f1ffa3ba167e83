#include "NetFwOpenPorts.h"

#include "NetFwOpenPort.h"
#include "PortEnumerator.h"

#include <algorithm>
#include <new>
#include <utility>

namespace simfw {

namespace {

// What the real service returns for a port number and protocol that are not in the list.
const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

PortList::iterator Find(PortList& list, LONG port, LONG protocol)
{
    return std::find_if(list.begin(), list.end(), [port, protocol](const std::shared_ptr<PortEntry>& entry) {
        return entry->port == port && entry->protocol == protocol;
    });
}

} // namespace

NetFwOpenPorts::NetFwOpenPorts(std::shared_ptr<Session> session, const Binding& binding)
    : session_(std::move(session)), binding_(binding)
{
}

bool NetFwOpenPorts::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_INetFwOpenPorts);
}

PortList& NetFwOpenPorts::Ports()
{
    return session_->State().PortsOf(binding_.profile);
}

STDMETHODIMP NetFwOpenPorts::get_Count(LONG* count)
{
    if (!count) {
        return E_POINTER;
    }
    *count = 0;
    HRESULT hr = session_->Enter("INetFwOpenPorts::get_Count", binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    LONG answer = static_cast<LONG>(Ports().size()) - session_->Undercount(binding_);
    hr = session_->Grow(binding_);
    if (FAILED(hr)) {
        return hr;
    }
    *count = answer > 0 ? answer : 0;
    return S_OK;
}

STDMETHODIMP NetFwOpenPorts::Add(INetFwOpenPort* port)
{
    HRESULT hr = session_->Enter("INetFwOpenPorts::Add", binding_);
    if (hr != S_OK) {
        return hr;
    }
    if (!port) {
        return E_POINTER;
    }
    PortEntry settings;
    if (!NetFwOpenPort::ReadSettings(port, settings) || settings.port == 0) {
        return E_INVALIDARG;
    }
    Session::Lock lock(*session_);
    PortList& list = Ports();
    auto existing = Find(list, settings.port, settings.protocol);
    if (existing != list.end()) {
        **existing = settings;
    } else {
        list.push_back(std::make_shared<PortEntry>(settings));
    }
    return session_->Save();
}

STDMETHODIMP NetFwOpenPorts::Remove(LONG portNumber, NET_FW_IP_PROTOCOL ipProtocol)
{
    HRESULT hr = session_->Enter("INetFwOpenPorts::Remove", binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    PortList& list = Ports();
    auto existing = Find(list, portNumber, ipProtocol);
    if (existing == list.end()) {
        return kNotFound;
    }
    list.erase(existing);
    return session_->Save();
}

STDMETHODIMP NetFwOpenPorts::Item(LONG portNumber, NET_FW_IP_PROTOCOL ipProtocol, INetFwOpenPort** openPort)
{
    if (!openPort) {
        return E_POINTER;
    }
    *openPort = nullptr;
    HRESULT hr = session_->Enter("INetFwOpenPorts::Item", binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    PortList& list = Ports();
    auto existing = Find(list, portNumber, ipProtocol);
    if (existing == list.end()) {
        return kNotFound;
    }
    return HandOver(NetFwOpenPort::Attach(session_, *existing, binding_), IID_INetFwOpenPort,
                    reinterpret_cast<void**>(openPort));
}

STDMETHODIMP NetFwOpenPorts::get__NewEnum(IUnknown** newEnum)
{
    if (!newEnum) {
        return E_POINTER;
    }
    *newEnum = nullptr;
    HRESULT hr = session_->Enter("INetFwOpenPorts::get__NewEnum", binding_);
    if (hr != S_OK) {
        return hr;
    }
    Session::Lock lock(*session_);
    EnumElements elements;
    for (const auto& entry : Ports()) {
        elements.push_back(EnumElement{entry, NonPortKind::Object});
    }
    // In the order of their positions, so that each lands at its INDEX (or at the end).
    std::vector<const Statement*> nonPorts = session_->NonPorts(binding_);
    std::stable_sort(nonPorts.begin(), nonPorts.end(),
                     [](const Statement* a, const Statement* b) { return a->index < b->index; });
    for (const Statement* statement : nonPorts) {
        size_t at = std::min(static_cast<size_t>(statement->index), elements.size());
        elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(at), EnumElement{nullptr, statement->nonPort});
    }
    return HandOver(new (std::nothrow) PortEnumerator(session_, binding_, std::move(elements)), IID_IUnknown,
                    reinterpret_cast<void**>(newEnum));
}

} // namespace simfw
