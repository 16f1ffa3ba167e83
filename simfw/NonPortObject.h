#pragma once

#include "ComObject.h"

namespace simfw {

// What `nonport PROFILE INDEX` puts into an enumeration: a dispatch object that is not a port
// (QueryInterface for INetFwOpenPort fails with E_NOINTERFACE).
class NonPortObject final : public DispatchObject<NonPortObject, IDispatch> {
public:
    bool Supports(REFIID iid) const;
};

} // namespace simfw
