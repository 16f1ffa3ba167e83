#pragma once

#include <windows.h>

// Leak evidence for tests that watch a program from outside: when simfw.dll leaves a process
// (COM unloads it, or the process ends) while simfw objects are still alive, one line is
// appended to "<state file>.leaks":
//
//     leak pid=1234 objects=3 at=unload
//
// `at` is `unload` when the DLL was freed while the process goes on, `exit` when the process
// ends. Nothing is written when every object was released or SIMFW_STATE is not set.
namespace simfw {

void ReportLeaksOnDetach(bool processEnding);

} // namespace simfw
