// start, attach, use, exit, event, waitevent: the programs under test and the named events they
// create.
#include "Commands.h"
#include "ProgramWindows.h"

#include <tlhelp32.h>
#include <vector>

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

// The id of a running process whose file is named NAME (no folder), other than those already
// known; 0 when there is none.
DWORD FindProcess(const Session& session, const std::string& name)
{
    const fw::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
        return 0;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        bool known = false;
        for (const Program& program : session.programs) {
            known = known || program.processId == entry.th32ProcessID;
        }
        if (!known && ::lstrcmpiA(entry.szExeFile, name.c_str()) == 0) {
            return entry.th32ProcessID;
        }
    }
    return 0;
}

// A program someone else started (Wine's CreateProcess cannot start one whose path is longer
// than MAX_PATH; Wine's loader, started from Linux, can): waits for it and makes it the current
// one, as if the driver had started it.
bool Attach(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() < 2 || (invocation.words.size() > 2 && !ParseNumber(invocation.words[2], timeout))) {
        return session.Fail("attach needs a program's file name and optionally a timeout in milliseconds");
    }
    const std::string& name = invocation.words[1];
    const DWORD start = ::GetTickCount();
    DWORD id = 0;
    while ((id = FindProcess(session, name)) == 0) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail("no program " + name + " started within " + std::to_string(timeout) + " ms");
        }
        ::Sleep(20);
    }
    Program program;
    program.process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id));
    if (!program.process) {
        return session.Fail("cannot open " + name + " (error " + std::to_string(::GetLastError()) + ")");
    }
    program.processId = id;
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

// "null" for a NULL DACL (everyone has access), "none" without a DACL, else its ACE count.
std::string DaclOf(HANDLE event)
{
    DWORD needed = 0;
    ::GetKernelObjectSecurity(event, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<char> descriptor(needed);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (needed == 0 ||
        !::GetKernelObjectSecurity(event, DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed) ||
        !::GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted)) {
        return "unreadable";
    }
    return !present ? "none" : !dacl ? "null" : std::to_string(dacl->AceCount) + "-aces";
}

bool Event(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("event needs a name");
    }
    const std::string& name = invocation.words[1];
    const fw::UniqueHandle event(::OpenEventA(READ_CONTROL | SYNCHRONIZE, FALSE, name.c_str()));
    if (!event) {
        session.Print("event " + name + " absent");
        return true;
    }
    session.Print("event " + name + " exists dacl=" + DaclOf(event.get()));
    return true;
}

bool WaitEvent(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() < 2 || (invocation.words.size() > 2 && !ParseNumber(invocation.words[2], timeout))) {
        return session.Fail("waitevent needs a name and optionally a timeout in milliseconds");
    }
    const DWORD start = ::GetTickCount();
    while (!fw::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, invocation.words[1].c_str()))) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail("no event " + invocation.words[1] + " within " + std::to_string(timeout) + " ms");
        }
        ::Sleep(20);
    }
    return true;
}

} // namespace

std::vector<Command> ProgramCommands()
{
    return {{"start", Start}, {"attach", Attach}, {"use", Use}, {"exit", Exit}, {"event", Event}, {"waitevent", WaitEvent}};
}
