// note, sleep, waitfile, hold: steps of the script itself rather than of the program's windows:
// marks in the output, pauses, points where whoever runs the script takes over, and files held
// open as another program holds them.
#include "Commands.h"

namespace {

bool Note(Session& session, const Invocation& invocation)
{
    session.Print("note " + invocation.rest);
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

// waitfile PATH [MS]: waits until the file exists, then deletes it. Lets the one who runs the
// script do something at that point (take a picture) and say when it is done.
bool WaitFile(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() < 2 || invocation.words.size() > 3 ||
        (invocation.words.size() == 3 && !ParseNumber(invocation.words[2], timeout))) {
        return session.Fail("waitfile needs a file name and optionally a timeout in milliseconds");
    }
    const std::string& path = invocation.words[1];
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail(path + " did not appear within " + std::to_string(timeout) + " ms");
        }
        ::Sleep(20);
    }
    ::DeleteFileA(path.c_str());
    return true;
}

// hold PATH: opens the file for reading and writing, as an editor or a viewer keeps it, letting
// others read and write it too (not delete it); it stays open until the driver ends.
bool Hold(Session& session, const Invocation& invocation)
{
    if (invocation.rest.empty()) {
        return session.Fail("hold needs a file name");
    }
    HANDLE file = ::CreateFileA(invocation.rest.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return session.Fail("cannot open " + invocation.rest + " (error " + std::to_string(::GetLastError()) + ")");
    }
    session.held.emplace_back(file);
    return true;
}

} // namespace

std::vector<Command> ScriptCommands()
{
    return {{"note", Note}, {"sleep", Sleep}, {"waitfile", WaitFile}, {"hold", Hold}};
}
