#include "NonPortObject.h"

namespace simfw {

bool NonPortObject::Supports(REFIID iid) const
{
    return IsEqualIID(iid, IID_IDispatch);
}

} // namespace simfw
