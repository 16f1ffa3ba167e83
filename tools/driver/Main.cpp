// uidriver: starts programs and drives their dialogs and message boxes from outside, as a
// user would; see README.md for the commands.
#include "Commands.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <windows.h>

namespace {

bool RunScriptFile(Session& session, const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return session.Fail(std::string("cannot read ") + path);
    }
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!RunCommand(session, line)) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // UTF-8 output byte for byte, without "\r\n" translation.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        std::fputs("usage: uidriver COMMAND|@SCRIPT...\n", stderr);
        return 2;
    }
    // Wine starts its desktop process for the first program that asks for the desktop, and
    // that process keeps the asker's output handles: tools/test's idle driver asks first, with
    // its output on /dev/null, so that no test's pipe is held open by the desktop.
    ::GetDesktopWindow();
    Session session;
    for (int i = 1; i < argc; ++i) {
        const bool ok = argv[i][0] == '@' ? RunScriptFile(session, argv[i] + 1) : RunCommand(session, argv[i]);
        if (!ok) {
            return 1;
        }
    }
    return 0;
}
