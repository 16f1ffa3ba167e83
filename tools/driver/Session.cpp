#include "Session.h"

#include "Text.h"

#include <cstdio>

Session::~Session()
{
    for (size_t i = 0; i < programs.size(); ++i) {
        HANDLE process = programs[i].process.get();
        if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process, 255);
            ::WaitForSingleObject(process, 5000);
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

std::string Session::Text(const std::string& cp932) const
{
    std::string text = QuoteCp932(cp932);
    if (hex) {
        text += " bytes=" + Hex(cp932);
    }
    return text;
}
