// The DLL search the program restricts at start: a DLL that lies beside the program (here the
// test program, beside which the build puts planted.dll) no longer loads by its name, and the
// system DLLs named for it are loaded, from the system folder.

#include "framework/DllSearch.h"
#include "framework/ProgramFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

namespace {

TEST(DllSearch, NothingBesideTheProgramLoadsByNameAndTheNamedSystemDllsAreLoaded)
{
    std::wstring folder;
    ASSERT_TRUE(fw::GetProgramFolder(folder));
    const std::wstring planted = folder + L"planted.dll";
    ASSERT_NE(::GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES) << "the build puts planted.dll here";
    ASSERT_EQ(::GetModuleHandleW(L"msimg32.dll"), nullptr) << "loaded before the test: it would prove nothing";

    const wchar_t* const laterLoaded[] = {L"msimg32.dll", L"no-such-system.dll"};
    fw::LoadDllsFromSystemFolder(laterLoaded, 2);

    EXPECT_EQ(::LoadLibraryW(L"planted.dll"), nullptr) << "the program's folder is still searched";
    const HMODULE loaded = ::GetModuleHandleW(L"msimg32.dll");
    ASSERT_NE(loaded, nullptr);
    wchar_t path[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    ::GetModuleFileNameW(loaded, path, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path, -1, (std::wstring(system) + L"\\msimg32.dll").c_str(), -1),
              CSTR_EQUAL)
        << "loaded from elsewhere";
    // By its full path it still loads: the search, not the file, kept it out above.
    EXPECT_NE(::LoadLibraryW(planted.c_str()), nullptr);
}

} // namespace
