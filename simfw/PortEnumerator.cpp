#include "PortEnumerator.h"

#include "NetFwOpenPort.h"
#include "NonPortObject.h"

#include <cstring>
#include <new>
#include <utility>

namespace simfw {

PortEnumerator::PortEnumerator(std::shared_ptr<Session> session, const Binding& binding, EnumElements elements)
    : session_(std::move(session)), binding_(binding), elements_(std::move(elements))
{
}

bool PortEnumerator::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IEnumVARIANT);
}

HRESULT PortEnumerator::BeforeQueryInterface(REFIID)
{
    return session_->Enter("IEnumVARIANT::QueryInterface", binding_);
}

HRESULT PortEnumerator::Fill(const EnumElement& element, VARIANT& value)
{
    // All bytes zero: a reader that ignores the type tag of a VT_EMPTY element finds null.
    std::memset(&value, 0, sizeof value);
    if (element.port) {
        NetFwOpenPort* port = NetFwOpenPort::Attach(session_, element.port, binding_);
        if (!port) {
            return E_OUTOFMEMORY;
        }
        V_VT(&value) = VT_DISPATCH;
        V_DISPATCH(&value) = port;
        return S_OK;
    }
    switch (element.kind) {
    case NonPortKind::Object: {
        NonPortObject* object = new (std::nothrow) NonPortObject();
        if (!object) {
            return E_OUTOFMEMORY;
        }
        V_VT(&value) = VT_DISPATCH;
        V_DISPATCH(&value) = object;
        return S_OK;
    }
    case NonPortKind::Number:
        V_VT(&value) = VT_I4;
        V_I4(&value) = 1;
        return S_OK;
    case NonPortKind::Empty:
        break;
    }
    V_VT(&value) = VT_EMPTY;
    return S_OK;
}

STDMETHODIMP PortEnumerator::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched)
{
    if (pCeltFetched) {
        *pCeltFetched = 0;
    }
    HRESULT hr = session_->Enter("IEnumVARIANT::Next", binding_);
    if (hr != S_OK) {
        return hr;
    }
    if (!rgVar) {
        return E_POINTER;
    }
    if (celt > 1 && !pCeltFetched) {
        return E_INVALIDARG;
    }
    Session::Lock lock(*session_);
    ULONG fetched = 0;
    while (fetched < celt && position_ < elements_.size()) {
        hr = Fill(elements_[position_], rgVar[fetched]);
        if (FAILED(hr)) {
            for (ULONG i = 0; i < fetched; ++i) {
                ::VariantClear(&rgVar[i]);
            }
            position_ -= fetched;
            return hr;
        }
        ++fetched;
        ++position_;
    }
    if (pCeltFetched) {
        *pCeltFetched = fetched;
    }
    return fetched == celt ? S_OK : S_FALSE;
}

} // namespace simfw
