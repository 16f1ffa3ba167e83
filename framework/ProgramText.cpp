#include "framework/ProgramText.h"

#include <new>

namespace fw {

bool ToWide(const char* text, std::wstring& wide)
{
    wide.clear();
    const int length = ::MultiByteToWideChar(ProgramCodePage, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    try {
        wide.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (::MultiByteToWideChar(ProgramCodePage, 0, text, -1, &wide[0], length) != length) {
        wide.clear();
        return false;
    }
    wide.pop_back(); // the NUL
    return true;
}

bool FromWide(const wchar_t* wide, std::string& text)
{
    text.clear();
    const int length = ::WideCharToMultiByte(ProgramCodePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    try {
        text.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (::WideCharToMultiByte(ProgramCodePage, 0, wide, -1, &text[0], length, nullptr, nullptr) != length) {
        text.clear();
        return false;
    }
    text.pop_back(); // the NUL
    return true;
}

} // namespace fw
