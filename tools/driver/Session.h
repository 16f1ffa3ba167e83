#pragma once

#include "framework/Handles.h"

#include <set>
#include <string>
#include <vector>
#include <windows.h>

// How long a wait (a window, a state, an event, a file, the program's end, an answer) lasts at
// most, unless a command is given its own: long enough for a machine busy with the long test
// runs, and a wait ends as soon as what it waits for is there. The scripts rely on it.
constexpr long PatienceMs = 60000;

// A program the driver started.
struct Program {
    fw::UniqueHandle process;
    DWORD processId = 0;
    HWND window = nullptr; // the window the last `window` command found for it
};

// What the commands share: the started programs, the window being looked at, the output.
class Session {
public:
    Session() = default;
    // Ends the programs that still run, so that a failed script leaves nothing behind.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::vector<Program> programs;
    size_t current = 0;           // index into programs
    std::set<HWND> reported;      // top-level windows already reported
    bool hex = false;             // texts are followed by their code page 932 bytes
    std::vector<fw::UniqueHandle> held; // `hold`, `squat`: open until the driver ends

    // Null (after printing an error) when no program was started.
    Program* CurrentProgram();

    // One line on stdout (UTF-8), flushed at once.
    void Print(const std::string& line) const;
    // Prints "error: message" and returns false, for `return session.Fail(…)`.
    bool Fail(const std::string& message) const;
    // A text of the program as the user sees it, quoted, with its bytes in code page 932 (the
    // program's own) when hex is on.
    std::string Text(const std::wstring& text) const;
};
