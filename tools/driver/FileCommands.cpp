// hold: a file that another program has open while the program under test runs.
#include "Commands.h"

namespace {

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
    session.heldFiles.emplace_back(file);
    return true;
}

} // namespace

std::vector<Command> FileCommands()
{
    return {{"hold", Hold}};
}
