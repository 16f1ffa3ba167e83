#pragma once

#include "framework/Handles.h"

#include <windows.h>

// Security of the single-instance event on NT 5 and later: a NULL DACL, so that the instances
// of every logged-on user can see it, and an inheritable handle.
struct InstanceEventSecurity {
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
};
void InitInstanceEventSecurity(InstanceEventSecurity& security);

// Creates (or opens) the named single-instance event and always hands over its handle, which
// may be null. 1 when another instance already holds the event, else 0; a failed creation
// counts as no other instance.
int CreateInstanceEvent(fw::UniqueHandle& handle);
