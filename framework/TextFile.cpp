#include "framework/TextFile.h"

#include "framework/Handles.h"

#include <new>
#include <windows.h>

namespace fw {

namespace {

constexpr char EndOfText = 0x1A;

void AppendLine(std::string& text, std::string& line)
{
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    text += line;
    text += "\r\n";
    line.clear();
}

} // namespace

bool ReadTextFile(const char* path, std::string& text)
{
    text.clear();
    HANDLE opened = ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle file(opened);
    try {
        std::string line;
        char buffer[4096];
        DWORD got = 0;
        bool end = false;
        while (!end && ::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got != 0) {
            for (DWORD i = 0; i < got; ++i) {
                const char c = buffer[i];
                if (c == EndOfText) {
                    end = true;
                    break;
                }
                if (c == '\n') {
                    AppendLine(text, line);
                } else {
                    line += c;
                }
            }
        }
        if (!line.empty()) {
            // A last line without a line end keeps a CR of its own: only CR LF is a line end.
            text += line;
            text += "\r\n";
        }
    } catch (const std::bad_alloc&) {
        text.clear();
        return false;
    }
    return true;
}

} // namespace fw
