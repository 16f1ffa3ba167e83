#include "support/SimFwStateFile.h"

#include "framework/Handles.h"

#include <windows.h>

#include <fstream>

namespace testsupport {

namespace {

const char kVariable[] = "SIMFW_STATE";

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
    char previous[MAX_PATH + 1] = {};
    length = ::GetEnvironmentVariableA(kVariable, previous, sizeof previous);
    previous_ = length > 0 && length < sizeof previous ? previous : "";
    ok_ = Write(utf8Text) && ::SetEnvironmentVariableA(kVariable, path_.c_str());
}

SimFwStateFile::~SimFwStateFile()
{
    if (path_.empty()) {
        return;
    }
    ::DeleteFileA(path_.c_str());
    ::SetEnvironmentVariableA(kVariable, previous_.empty() ? nullptr : previous_.c_str());
}

bool SimFwStateFile::Write(const std::string& utf8Text) const
{
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << utf8Text;
    file.close();
    return !file.fail();
}

std::string SimFwStateFile::Read() const
{
    // Shared for delete too: simfw replaces the file by moving its new copy over it.
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

std::vector<std::string> SimFwStateFile::PortLines() const
{
    std::vector<std::string> ports;
    const std::string text = Read();
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (line.compare(0, 5, "port ") == 0) {
            ports.push_back(line);
        }
        if (end == std::string::npos) {
            break;
        }
    }
    return ports;
}

} // namespace testsupport
