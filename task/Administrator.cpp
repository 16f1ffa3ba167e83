#include "task/Administrator.h"

#include "task/OsClass.h"
#include "framework/Handles.h"

bool IsAdministrator()
{
    OSVERSIONINFOA version;
    if (!QueryOsVersion(version)) {
        return false;
    }
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        return true;
    }
    const fw::UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    return static_cast<bool>(manager);
}
