#include "StateFile.h"

#include "framework/Handles.h"

#include <cwchar>

namespace simfw {

namespace {

HRESULT LastError()
{
    DWORD error = ::GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// CreateFileW's failure value is INVALID_HANDLE_VALUE, not null.
fw::UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE handle = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return fw::UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

HRESULT WriteWholeFile(const std::wstring& path, const std::string& text)
{
    fw::UniqueHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        return LastError();
    }
    DWORD written = 0;
    if (!text.empty() &&
        (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size())) {
        return LastError();
    }
    return S_OK;
}

// The cross-process lock of one state file. Kernel object names are limited in length and
// cannot hold backslashes, so the name carries a hash of the upper-cased path.
class FileLock {
public:
    explicit FileLock(const std::wstring& path) : mutex_(::CreateMutexW(nullptr, FALSE, MutexName(path).c_str()))
    {
        if (mutex_.get()) {
            DWORD wait = ::WaitForSingleObject(mutex_.get(), INFINITE);
            held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~FileLock()
    {
        if (held_) {
            ::ReleaseMutex(mutex_.get());
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return held_; }

private:
    static std::wstring MutexName(const std::wstring& path)
    {
        unsigned long long hash = 14695981039346656037ULL; // FNV-1a
        for (wchar_t c : path) {
            hash = (hash ^ static_cast<unsigned long long>(::towupper(c))) * 1099511628211ULL;
        }
        wchar_t name[64];
        std::swprintf(name, sizeof name / sizeof name[0], L"Local\\simfw-state-%016llx", hash);
        return name;
    }

    fw::UniqueHandle mutex_;
    bool held_ = false;
};

} // namespace

std::wstring StateFilePath()
{
    DWORD size = ::GetEnvironmentVariableW(L"SIMFW_STATE", nullptr, 0);
    if (size == 0) {
        return std::wstring();
    }
    std::wstring path(size, L'\0');
    DWORD length = ::GetEnvironmentVariableW(L"SIMFW_STATE", &path[0], size);
    path.resize(length < size ? length : 0);
    return path;
}

HRESULT ReadStateFile(const std::wstring& path, std::string& text, bool& exists)
{
    text.clear();
    exists = false;
    FileLock lock(path);
    if (!lock.Held()) {
        return LastError();
    }
    fw::UniqueHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
    }
    exists = true;
    char chunk[8192];
    DWORD got = 0;
    for (;;) {
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
            return LastError();
        }
        if (got == 0) {
            return S_OK;
        }
        text.append(chunk, got);
    }
}

HRESULT WriteStateFile(const std::wstring& path, const std::string& text)
{
    FileLock lock(path);
    if (!lock.Held()) {
        return LastError();
    }
    wchar_t suffix[40];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%lx-%lx.tmp", ::GetCurrentProcessId(),
                  ::GetCurrentThreadId());
    std::wstring temporary = path + suffix;
    HRESULT hr = WriteWholeFile(temporary, text);
    if (SUCCEEDED(hr) && !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        hr = LastError();
    }
    if (FAILED(hr)) {
        ::DeleteFileW(temporary.c_str());
    }
    return hr;
}

} // namespace simfw
