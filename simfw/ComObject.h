#pragma once

#include "LiveObjects.h"

#include <oaidl.h>
#include <objbase.h>

namespace simfw {

// Reference counting, QueryInterface and the live-object count for one COM object that offers
// one interface (plus its bases). Derived supplies:
//   bool Supports(REFIID iid) const             the interfaces besides IUnknown
// and may hide:
//   HRESULT BeforeQueryInterface(REFIID iid)    S_OK to go on; anything else is returned as is
// Objects start with one reference, owned by their creator.
template <typename Derived, typename Interface>
class ComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        HRESULT hr = static_cast<Derived*>(this)->BeforeQueryInterface(iid);
        if (hr != S_OK) {
            return hr;
        }
        return QueryInternal(iid, out);
    }

    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete static_cast<Derived*>(this);
        }
        return static_cast<ULONG>(left);
    }

    // Objects whose QueryInterface no `fail` statement can name let every query through.
    HRESULT BeforeQueryInterface(REFIID) { return S_OK; }

    // QueryInterface without fault injection, for the sim's own hand-over of new objects.
    HRESULT QueryInternal(REFIID iid, void** out)
    {
        if (!out) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || static_cast<const Derived*>(this)->Supports(iid)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

protected:
    ComObject() { ObjectCreated(); }
    ~ComObject() { ObjectDestroyed(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    LONG refs_ = 1;
};

// A ComObject whose interface derives from IDispatch: no type information, no late binding.
template <typename Derived, typename Interface>
class DispatchObject : public ComObject<Derived, Interface> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

// Hands a freshly made object (one reference) to an out-parameter as `iid` and drops the
// creator's reference; E_OUTOFMEMORY when the allocation failed.
template <typename Object>
HRESULT HandOver(Object* object, REFIID iid, void** out)
{
    if (!object) {
        if (out) {
            *out = nullptr;
        }
        return E_OUTOFMEMORY;
    }
    HRESULT hr = object->QueryInternal(iid, out);
    object->Release();
    return hr;
}

} // namespace simfw
