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
// Each port comes as a new VT_DISPATCH port object attached to the stored entry.
class PortEnumerator final : public ComObject<PortEnumerator, IEnumVARIANT> {
public:
    PortEnumerator(std::shared_ptr<Session> session, const Binding& binding,
                   std::shared_ptr<const EnumElements> elements, size_t position);

    bool Supports(REFIID iid) const;
    HRESULT BeforeQueryInterface(REFIID iid);

    STDMETHODIMP Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    STDMETHODIMP Skip(ULONG celt) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** ppEnum) override;

private:
    HRESULT Fill(const EnumElement& element, VARIANT& value);

    std::shared_ptr<Session> session_;
    Binding binding_;
    std::shared_ptr<const EnumElements> elements_;
    size_t position_;
};

} // namespace simfw
