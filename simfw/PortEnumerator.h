#pragma once

#include "ComObject.h"
#include "Session.h"

#include <memory>
#include <vector>

namespace simfw {

// One element of an enumeration: a stored port, or (port == null) a `nonport` element.
struct EnumElement {
    std::shared_ptr<PortEntry> port;
    NonPortKind kind = NonPortKind::Object;
};
using EnumElements = std::vector<EnumElement>;

// The IEnumVARIANT of get__NewEnum over the elements taken when the enumeration was asked for.
// Each port comes as a new VT_DISPATCH port object attached to the stored entry. The program
// reads an enumeration once from its start with Next alone; the other methods are not simulated.
class PortEnumerator final : public ComObject<PortEnumerator, IEnumVARIANT> {
public:
    PortEnumerator(std::shared_ptr<Session> session, const Binding& binding, EnumElements elements);

    bool Supports(REFIID iid) const;
    HRESULT BeforeQueryInterface(REFIID iid);

    STDMETHODIMP Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumVARIANT** ppEnum) override
    {
        if (ppEnum) {
            *ppEnum = nullptr;
        }
        return E_NOTIMPL;
    }

private:
    HRESULT Fill(const EnumElement& element, VARIANT& value);

    std::shared_ptr<Session> session_;
    Binding binding_;
    EnumElements elements_;
    size_t position_ = 0;
};

} // namespace simfw
