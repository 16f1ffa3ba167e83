#pragma once

#include <objbase.h>

namespace simfw {

// The class object of one CLSID. There is one static instance per class; references to it
// and LockServer keep the DLL loaded (DllCanUnloadNow), but it is not a live firewall object.
class ClassFactory : public IClassFactory {
public:
    using CreateFunction = HRESULT (*)(REFIID iid, void** out);

    explicit constexpr ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CreateFunction create_;
};

} // namespace simfw
