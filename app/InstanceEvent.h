#pragma once

#include "framework/Handles.h"

#include <windows.h>

// Creates (or opens) the named single-instance event and always hands over its handle, which
// may be null. 1 when another instance already holds the event, else 0; a failed creation
// counts as no other instance.
int CreateInstanceEvent(fw::UniqueHandle& handle);
