// The run mode for whole command lines, split by the C runtime's own quoting rules: each line
// is handed to a separate program that takes the product's path from __argv to RunMode.
#include "task/RunMode.h"
#include "framework/Handles.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

std::wstring Wide(const std::string& utf8)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::wstring ProbePath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring probe = path;
    probe.resize(probe.find_last_of(L'\\') + 1);
    return probe + L"cmdline_probe.exe";
}

// The probe's exit code for "probe" + arguments (UTF-8 here; the child sees code page 932).
int ModeFor(const std::string& arguments)
{
    std::wstring commandLine = L"\"" + ProbePath() + L"\"" + Wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return -1;
    }
    const fw::UniqueHandle process(info.hProcess);
    const fw::UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 255);
        return -2;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

struct Case {
    const char* arguments; // after the program name, with its leading blank
    RunMode mode;
};

TEST(SetupCommandLine, ChoosesTheRunModeForWholeCommandLines)
{
    const Case cases[] = {
        {"", RunMode::Setup},
        {"   ", RunMode::Setup},
        // Each switch bare or behind one '-' or '/', in either letter case.
        {" /d", RunMode::Remove},
        {" -D", RunMode::Remove},
        {" D", RunMode::Remove},
        {" d", RunMode::Remove},
        {" -S", RunMode::Silent},
        {" /s", RunMode::Silent},
        {" s", RunMode::Silent},
        {" S S", RunMode::Silent},
        // Precedence: any other argument, then D, then S.
        {" S D", RunMode::Remove},
        {" /D /S", RunMode::Remove},
        {" /S /D", RunMode::Remove},
        {"\t/S\t/D", RunMode::Remove},
        {" /S extra", RunMode::Setup},
        {" extra /D", RunMode::Setup},
        {" /D /S x", RunMode::Setup},
        // Only one leading character is taken off, and the rest must be the letter alone.
        {" /DS", RunMode::Setup},
        {" //D", RunMode::Setup},
        {" --S", RunMode::Setup},
        {" -/D", RunMode::Setup},
        {" /D-", RunMode::Setup},
        {" /x", RunMode::Setup},
        {" -", RunMode::Setup},
        {" /", RunMode::Setup},
        {" /D -", RunMode::Setup},
        // The C runtime's quoting: quotes go, an empty quoted argument stays an argument.
        {" \"\"", RunMode::Setup},
        {" /D \"\"", RunMode::Setup},
        {" \"/D\"", RunMode::Remove},
        {" /\"D\"", RunMode::Remove},
        {" /D\"\"", RunMode::Remove},
        {" \"/D /S\"", RunMode::Setup},
        {" \"/S\" \"/D\"", RunMode::Remove},
        {" \\\"/D\\\"", RunMode::Setup},
        // File names and other text.
        {" Readme.txt", RunMode::Setup},
        {" \"C:\\Program Files\\D\"", RunMode::Setup},
        {" 設定.txt", RunMode::Setup},
        {" Ｄ", RunMode::Setup},
        {" /Ｓ", RunMode::Setup},
        {" /Dｄ", RunMode::Setup},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int>(c.mode), ModeFor(c.arguments)) << "arguments:" << c.arguments;
    }
}

TEST(SetupCommandLine, LongArgumentsSelectSetup)
{
    const std::string longArgument(20000, 'D');
    EXPECT_EQ(static_cast<int>(RunMode::Setup), ModeFor(" " + longArgument));
    EXPECT_EQ(static_cast<int>(RunMode::Setup), ModeFor(" /D /" + longArgument));
    std::string manySwitches;
    for (int i = 0; i < 2000; ++i) {
        manySwitches += " /D /S";
    }
    EXPECT_EQ(static_cast<int>(RunMode::Remove), ModeFor(manySwitches));
}

} // namespace
