// simfw.dll's leak report: a process that leaves simfw objects alive gets one line in
// "<state file>.leaks" when the DLL leaves it; one that released everything gets none.

#include "support/SimFwStateFile.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::SimFwStateFile;

// simfw_leaker.exe beside this test program.
std::string LeakerPath()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length < MAX_PATH ? length : 0);
    return text.substr(0, text.find_last_of('\\') + 1) + "simfw_leaker.exe";
}

struct ChildRun {
    DWORD exitCode = 0xFFFFFFFF;
    DWORD processId = 0;
};

// Runs the leaker with `arguments`; it inherits SIMFW_STATE from this process.
ChildRun RunLeaker(const std::string& arguments)
{
    ChildRun run;
    std::string commandLine = "\"" + LeakerPath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return run;
    }
    fw::UniqueHandle process(info.hProcess);
    fw::UniqueHandle thread(info.hThread);
    run.processId = info.dwProcessId;
    if (::WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.get(), &run.exitCode);
    }
    return run;
}

// The report's lines; none when the file does not exist. The file is deleted afterwards.
std::vector<std::string> TakeReport(const SimFwStateFile& state)
{
    const std::string path = state.Path() + ".leaks";
    std::vector<std::string> lines;
    {
        std::ifstream file(path);
        std::string line;
        while (std::getline(file, line)) {
            lines.push_back(line);
        }
    }
    ::DeleteFileA(path.c_str());
    return lines;
}

std::string Line(const ChildRun& run, int objects, const char* at)
{
    std::ostringstream line;
    line << "leak pid=" << run.processId << " objects=" << objects << " at=" << at;
    return line.str();
}

TEST(SimFwLeakReport, ObjectsAliveAtProcessEndAreReported)
{
    SimFwStateFile state("current Standard\n");
    ASSERT_TRUE(state.Ok());
    const ChildRun run = RunLeaker("exit 2");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{Line(run, 2, "exit")}, TakeReport(state));
}

// COM keeps a DLL loaded while its DllCanUnloadNow answers S_FALSE, as simfw's does with objects
// alive: Wine then reports at the process end, a COM that frees the DLL anyway at its unload.
TEST(SimFwLeakReport, ObjectsAliveAfterTheLastCoUninitializeAreReported)
{
    SimFwStateFile state("current Standard\n");
    ASSERT_TRUE(state.Ok());
    const ChildRun run = RunLeaker("unload 1");
    ASSERT_EQ(0u, run.exitCode);
    const std::vector<std::string> lines = TakeReport(state);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(lines[0] == Line(run, 1, "exit") || lines[0] == Line(run, 1, "unload")) << lines[0];
}

TEST(SimFwLeakReport, NothingIsReportedWhenEverythingWasReleased)
{
    SimFwStateFile state("current Standard\n");
    ASSERT_TRUE(state.Ok());
    ASSERT_EQ(0u, RunLeaker("release 3").exitCode);
    EXPECT_TRUE(TakeReport(state).empty());
}

TEST(SimFwLeakReport, EveryLeakingProcessAddsItsOwnLine)
{
    SimFwStateFile state("current Standard\n");
    ASSERT_TRUE(state.Ok());
    const ChildRun first = RunLeaker("exit 1");
    const ChildRun second = RunLeaker("exit 3");
    ASSERT_EQ(0u, first.exitCode);
    ASSERT_EQ(0u, second.exitCode);
    EXPECT_EQ((std::vector<std::string>{Line(first, 1, "exit"), Line(second, 3, "exit")}), TakeReport(state));
}

} // namespace
