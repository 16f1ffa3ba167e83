#include "LiveObjects.h"

namespace simfw {

namespace {
LONG liveObjects = 0;
LONG moduleLocks = 0;
} // namespace

void ObjectCreated()
{
    ::InterlockedIncrement(&liveObjects);
}

void ObjectDestroyed()
{
    ::InterlockedDecrement(&liveObjects);
}

LONG LiveObjectCount()
{
    return ::InterlockedCompareExchange(&liveObjects, 0, 0);
}

void LockModule()
{
    ::InterlockedIncrement(&moduleLocks);
}

void UnlockModule()
{
    ::InterlockedDecrement(&moduleLocks);
}

bool ModuleInUse()
{
    return LiveObjectCount() != 0 || ::InterlockedCompareExchange(&moduleLocks, 0, 0) != 0;
}

} // namespace simfw
