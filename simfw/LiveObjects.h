#pragma once

#include <windows.h>

// Process-wide counts behind DllCanUnloadNow and the SimFwLiveObjects export: firewall objects
// alive (class factories are not counted) and server locks (LockServer and factory references).
namespace simfw {

void ObjectCreated();
void ObjectDestroyed();
LONG LiveObjectCount();

void LockModule();
void UnlockModule();
bool ModuleInUse();

} // namespace simfw
