#pragma once

#include <cstddef>

namespace fw {

// Keeps DLLs that the process, or system code in it, loads by name from coming out of the
// program's folder or the current folder (a DLL planted there would run with the program's
// rights). Where the system can (Windows 8 and later, Vista and 7 with the update that added
// SetDefaultDllDirectories), such loads search the system folder alone; elsewhere the current
// folder leaves the search. Then the DLLs named in laterLoaded that lie in the system folder
// are loaded from there, by their full path, so that a later load by name finds them loaded
// whatever the search. Call it first, before anything else loads a DLL. A step that fails
// changes nothing else.
void LoadDllsFromSystemFolder(const wchar_t* const laterLoaded[], size_t count);

} // namespace fw
