#include "task/OsClass.h"

bool QueryOsVersion(OSVERSIONINFOA& version)
{
    version = OSVERSIONINFOA{};
    version.dwOSVersionInfoSize = sizeof(version);
    return ::GetVersionExA(&version) != FALSE;
}

OsClass ClassifyOsVersion(const OSVERSIONINFOA& version)
{
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        return OsClasses::Windows9x;
    }
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        return OsClasses::Unrecognised;
    }
    if (version.dwMajorVersion == 3) {
        return version.dwMinorVersion == 51 ? OsClasses::Nt351 : OsClasses::Unrecognised;
    }
    if (version.dwMajorVersion == 4) {
        return OsClasses::Nt4;
    }
    if (version.dwMajorVersion >= 5) {
        return OsClasses::Nt5OrLater;
    }
    return OsClasses::Unrecognised;
}

OsClass GetOsClass()
{
    OSVERSIONINFOA version;
    if (!QueryOsVersion(version)) {
        return OsClasses::Unrecognised;
    }
    return ClassifyOsVersion(version);
}
