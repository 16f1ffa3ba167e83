// start, use, exit, sleep: the programs under test.
#include "Commands.h"
#include "ProgramWindows.h"

namespace {

bool Start(Session& session, const Invocation& invocation)
{
    if (invocation.rest.empty()) {
        return session.Fail("start needs a command line");
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // On a busy machine Wine now and then fails a start with ERROR_INTERNAL_ERROR: the new process
    // died before it ran anything of the program, so starting it again is safe.
    DWORD error = ERROR_INTERNAL_ERROR;
    for (int attempt = 0; attempt < 3 && error == ERROR_INTERNAL_ERROR; ++attempt) {
        std::string commandLine = invocation.rest; // CreateProcessA may write into it
        error = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)
                    ? ERROR_SUCCESS
                    : ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        return session.Fail("cannot start '" + invocation.rest + "' (error " + std::to_string(error) + ")");
    }
    ::CloseHandle(info.hThread);
    Program program;
    program.process.reset(info.hProcess);
    program.processId = info.dwProcessId;
    session.programs.push_back(std::move(program));
    session.current = session.programs.size() - 1;
    return true;
}

bool Use(Session& session, const Invocation& invocation)
{
    long number = 0;
    if (invocation.words.size() != 2 || !ParseNumber(invocation.words[1], number) || number < 1 ||
        static_cast<size_t>(number) > session.programs.size()) {
        return session.Fail("use needs the number of a started program");
    }
    session.current = static_cast<size_t>(number - 1);
    return true;
}

// Waits for the program's end; a window it shows meanwhile is a failure (nobody would close it).
bool Exit(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() > 1 && !ParseNumber(invocation.words[1], timeout)) {
        return session.Fail("exit takes a timeout in milliseconds");
    }
    Program* program = session.CurrentProgram();
    if (!program) {
        return false;
    }
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(program->process.get(), 20) == WAIT_TIMEOUT) {
        if (HWND window = FindNewWindow(program->processId, session.reported, false)) {
            session.reported.insert(window);
            return session.Fail("the program showed a window " + session.Text(WindowTextOf(window)) +
                                " instead of ending");
        }
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail("the program did not end within " + std::to_string(timeout) + " ms");
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(program->process.get(), &code);
    session.Print("exit " + std::to_string(code));
    return true;
}

bool Sleep(Session& session, const Invocation& invocation)
{
    long ms = 0;
    if (invocation.words.size() != 2 || !ParseNumber(invocation.words[1], ms) || ms < 0) {
        return session.Fail("sleep needs milliseconds");
    }
    ::Sleep(static_cast<DWORD>(ms));
    return true;
}

} // namespace

std::vector<Command> ProgramCommands()
{
    return {{"start", Start}, {"use", Use}, {"exit", Exit}, {"sleep", Sleep}};
}
