#include "LeakReport.h"

#include "LiveObjects.h"
#include "StateFile.h"

#include "framework/Handles.h"

#include <cstdio>

namespace simfw {

void ReportLeaksOnDetach(bool processEnding)
{
    const LONG live = LiveObjectCount();
    if (live == 0) {
        return;
    }
    const std::wstring state = StateFilePath();
    if (state.empty()) {
        return;
    }
    const std::wstring path = state + L".leaks";
    // FILE_APPEND_DATA alone makes every write land at the end, also with several processes.
    const HANDLE handle = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    fw::UniqueHandle file(handle);
    char line[96];
    const int length = std::snprintf(line, sizeof line, "leak pid=%lu objects=%ld at=%s\n",
                                     static_cast<unsigned long>(::GetCurrentProcessId()), static_cast<long>(live),
                                     processEnding ? "exit" : "unload");
    DWORD written = 0;
    if (length > 0 && static_cast<size_t>(length) < sizeof line) {
        ::WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
    }
}

} // namespace simfw
