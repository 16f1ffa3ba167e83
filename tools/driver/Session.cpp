#include "Session.h"

#include "Text.h"
#include "framework/ProgramText.h"

#include <cstdio>

Session::~Session()
{
    for (size_t i = 0; i < programs.size(); ++i) {
        HANDLE process = programs[i].process.get();
        if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process, 255);
            ::WaitForSingleObject(process, static_cast<DWORD>(PatienceMs));
            Print("terminated program " + std::to_string(i + 1));
        }
    }
}

Program* Session::CurrentProgram()
{
    if (current >= programs.size()) {
        Fail("no program was started");
        return nullptr;
    }
    return &programs[current];
}

void Session::Print(const std::string& line) const
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool Session::Fail(const std::string& message) const
{
    Print("error: " + message);
    return false;
}

std::string Session::Text(const std::wstring& text) const
{
    std::string shown = Quote(text);
    if (hex) {
        std::string cp932;
        fw::FromWide(text.c_str(), cp932);
        shown += " bytes=" + Hex(cp932);
    }
    return shown;
}
