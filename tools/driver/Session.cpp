#include "Session.h"

#include "framework/ProgramText.h"

#include <cstdio>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr, nullptr);
    return result;
}

// "…" in UTF-8, with \n, \r, \t, \\, \" and \xHH for other control characters.
std::string Quote(const std::wstring& text)
{
    std::string quoted = "\"";
    for (const char c : Utf8(text)) {
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof(escape), "\\x%02x", static_cast<unsigned char>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

// The raw bytes as lower-case hex digits, two per byte, no separators.
std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += digits[b >> 4];
        hex += digits[b & 0x0F];
    }
    return hex;
}

} // namespace

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
