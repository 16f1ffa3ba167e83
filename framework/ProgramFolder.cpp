#include "framework/ProgramFolder.h"

#include <new>
#include <windows.h>

namespace fw {

bool GetProgramFolder(std::wstring& folder)
{
    folder.clear();
    try {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
            if (length == 0) {
                return false;
            }
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            // Cut off to the buffer's size (on Windows XP without its NUL): again with more room.
            path.resize(path.size() * 2);
        }
        const size_t separator = path.find_last_of(L'\\');
        if (separator == std::wstring::npos) {
            return false;
        }
        folder.assign(path, 0, separator + 1);
        return true;
    } catch (const std::bad_alloc&) {
        folder.clear();
        return false;
    }
}

} // namespace fw
