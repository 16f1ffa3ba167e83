#pragma once

#include "framework/Handles.h"

#include <windows.h>

// Creates (or opens) the named single-instance event and always hands over its handle, which
// may be null. 1 when another instance already holds the event, else 0; a failed creation
// counts as no other instance, and so does an event of that name that neither the
// Administrators group nor SYSTEM owns (anybody may create one first).
int CreateInstanceEvent(fw::UniqueHandle& handle);
