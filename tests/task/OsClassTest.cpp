#include "task/OsClass.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    DWORD platform;
    DWORD major;
    DWORD minor;
    OsClass expected;
};

TEST(OsClass, ClassifiesTheVersionRecord)
{
    constexpr DWORD Win32s = VER_PLATFORM_WIN32s;
    constexpr DWORD Windows = VER_PLATFORM_WIN32_WINDOWS;
    constexpr DWORD Nt = VER_PLATFORM_WIN32_NT;
    const Case cases[] = {
        {Windows, 4, 0, OsClasses::Windows9x},   // 95
        {Windows, 4, 10, OsClasses::Windows9x},  // 98
        {Windows, 4, 90, OsClasses::Windows9x},  // Me
        {Nt, 3, 51, OsClasses::Nt351},
        {Nt, 3, 50, OsClasses::Unrecognised},
        {Nt, 3, 10, OsClasses::Unrecognised},
        {Nt, 3, 0, OsClasses::Unrecognised},
        {Nt, 4, 0, OsClasses::Nt4},
        {Nt, 4, 90, OsClasses::Nt4},
        {Nt, 5, 0, OsClasses::Nt5OrLater},       // 2000
        {Nt, 5, 1, OsClasses::Nt5OrLater},       // XP
        {Nt, 5, 2, OsClasses::Nt5OrLater},       // Server 2003, XP x64
        {Nt, 6, 1, OsClasses::Nt5OrLater},
        {Nt, 10, 0, OsClasses::Nt5OrLater},
        {Nt, 2, 0, OsClasses::Unrecognised},
        {Nt, 0, 0, OsClasses::Unrecognised},
        {Win32s, 3, 51, OsClasses::Unrecognised},
        {3, 5, 1, OsClasses::Unrecognised},      // Windows CE
        {0xFFFFFFFF, 5, 1, OsClasses::Unrecognised},
    };
    for (const Case& c : cases) {
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof(version);
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        EXPECT_EQ(c.expected, ClassifyOsVersion(version))
            << "platform " << c.platform << ", version " << c.major << "." << c.minor;
    }
}

TEST(OsClass, UnrecognisedOrdersAboveNt5SoThatTheGuardTreatsItAsNt5)
{
    EXPECT_GE(OsClasses::Unrecognised, OsClasses::Nt5OrLater);
}

} // namespace
