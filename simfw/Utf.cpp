#include "Utf.h"

#include <windows.h>

#ifndef WC_ERR_INVALID_CHARS
#define WC_ERR_INVALID_CHARS 0x00000080 // Vista's flag; the sim only runs under Wine
#endif

namespace simfw {

bool Utf8ToWide(const std::string& utf8, std::wstring& wide)
{
    wide.clear();
    if (utf8.empty()) {
        return true;
    }
    int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.resize(static_cast<size_t>(length));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                 length) == length;
}

bool WideToUtf8(const std::wstring& wide, std::string& utf8)
{
    utf8.clear();
    if (wide.empty()) {
        return true;
    }
    int length = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                       0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    utf8.resize(static_cast<size_t>(length));
    return ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                 length, nullptr, nullptr) == length;
}

} // namespace simfw
