#include "support/SimFwStateFile.h"

#include "framework/Handles.h"

#include <windows.h>

namespace testsupport {

namespace {

const char kVariable[] = "SIMFW_STATE";

bool ReadVariable(std::string& value)
{
    DWORD size = ::GetEnvironmentVariableA(kVariable, nullptr, 0);
    if (size == 0) {
        return false;
    }
    std::string buffer(size, '\0');
    DWORD length = ::GetEnvironmentVariableA(kVariable, &buffer[0], size);
    if (length == 0 || length >= size) {
        return false;
    }
    buffer.resize(length);
    value = buffer;
    return true;
}

} // namespace

SimFwStateFile::SimFwStateFile(const std::string& utf8Text)
{
    char folder[MAX_PATH + 1] = {};
    char file[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || ::GetTempFileNameA(folder, "sfw", 0, file) == 0) {
        return;
    }
    path_ = file;
    hadPrevious_ = ReadVariable(previous_);
    ok_ = Write(utf8Text) && ::SetEnvironmentVariableA(kVariable, path_.c_str());
}

SimFwStateFile::~SimFwStateFile()
{
    if (path_.empty()) {
        return;
    }
    ::DeleteFileA(path_.c_str());
    ::SetEnvironmentVariableA(kVariable, hadPrevious_ ? previous_.c_str() : nullptr);
}

bool SimFwStateFile::Write(const std::string& utf8Text) const
{
    HANDLE handle = ::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    fw::UniqueHandle file(handle);
    DWORD written = 0;
    return utf8Text.empty() ||
           (::WriteFile(file.get(), utf8Text.data(), static_cast<DWORD>(utf8Text.size()), &written, nullptr) &&
            written == utf8Text.size());
}

std::string SimFwStateFile::Read() const
{
    HANDLE handle = ::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    fw::UniqueHandle file(handle);
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got != 0) {
        text.append(chunk, got);
    }
    return text;
}

std::vector<std::string> SimFwStateFile::Lines() const
{
    std::vector<std::string> lines;
    std::string text = Read();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> SimFwStateFile::PortLines() const
{
    std::vector<std::string> ports;
    for (const std::string& line : Lines()) {
        if (line.compare(0, 5, "port ") == 0) {
            ports.push_back(line);
        }
    }
    return ports;
}

} // namespace testsupport
