#pragma once

#include <windows.h>

namespace fw {

// Loads the common controls and registers the control classes named by ICC_ flags. The DLL is
// loaded by name at run time, not imported, so that it is loaded after the DLL search was
// restricted (DllSearch.h) and what it loads in turn obeys that search too; the program's
// manifest binds the name to Common Controls 6.0 from the system's side-by-side store. It stays
// loaded for the life of the process. False when it cannot be loaded or registers nothing.
bool LoadCommonControls(DWORD classes);

} // namespace fw
