#include "framework/TextFile.h"

#include "framework/Handles.h"
#include "framework/TextDecoding.h"

#include <new>
#include <windows.h>

namespace fw {

bool ReadTextFile(const wchar_t* path, std::wstring& text)
{
    text.clear();
    HANDLE opened = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle file(opened);
    std::string bytes;
    BOOL read = FALSE;
    try {
        char buffer[16384];
        DWORD got = 0;
        while ((read = ::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) && got != 0) {
            bytes.append(buffer, got);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Part of a file shown as the whole could be scrolled to its end and agreed to.
    if (!read) {
        return false;
    }
    file.reset();
    return DecodeText(bytes, text);
}

} // namespace fw
