#include "framework/DllSearch.h"

#include "framework/SystemFunction.h"

#include <string>
#include <windows.h>

namespace fw {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);

// The system folder with a closing backslash; empty when the system does not tell.
std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(folder, length) + L'\\';
}

} // namespace

void LoadDllsFromSystemFolder(const wchar_t* const laterLoaded[], size_t count)
{
    const auto setDefaultDirectories =
        SystemFunction<SetDefaultDllDirectoriesFunction>("kernel32.dll", "SetDefaultDllDirectories");
    if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Windows XP SP1 and later: an empty folder takes the current one out of the search.
        if (const auto setDirectory = SystemFunction<SetDllDirectoryFunction>("kernel32.dll", "SetDllDirectoryW")) {
            setDirectory(L"");
        }
    }
    // Loaded now in any case: a loader that resolves delay-loaded imports past the restricted
    // search (Wine's does, for uxtheme's msimg32) still finds them loaded.
    const std::wstring system = SystemFolder();
    if (system.empty()) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        const std::wstring path = system + laterLoaded[i];
        // Only those this Windows has. They stay loaded for the life of the process, which is
        // what keeps a later load by name from searching the program's folder.
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::LoadLibraryW(path.c_str());
        }
    }
}

} // namespace fw
