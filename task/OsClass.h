#pragma once

#include <cstdint>
#include <windows.h>

// The operating system's family, as far as the single-instance guard cares.
using OsClass = uint32_t;

namespace OsClasses {
constexpr OsClass Windows9x = 0;   // 95/98/Me
constexpr OsClass Nt351 = 1;
constexpr OsClass Nt4 = 2;
constexpr OsClass Nt5OrLater = 3;
constexpr OsClass Unrecognised = 0xFFFFFFFF;
} // namespace OsClasses

// Fills version (zeroed, size set) with GetVersionExA; false when the query fails.
bool QueryOsVersion(OSVERSIONINFOA& version);

OsClass ClassifyOsVersion(const OSVERSIONINFOA& version);

// The class of the running system; Unrecognised when the version query fails.
OsClass GetOsClass();
