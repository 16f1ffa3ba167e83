#include "firewall/AnsiField.h"

#include "framework/Handles.h"
#include "framework/ProgramText.h"

#include <cstring>

namespace {

HRESULT LastConversionError()
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

} // namespace

HRESULT CopyToAnsiField(const wchar_t* text, char (&field)[AnsiFieldSize])
{
    field[0] = '\0';
    if (!text) {
        return S_OK;
    }
    if (::WideCharToMultiByte(fw::ProgramCodePage, 0, text, -1, field, AnsiFieldSize, nullptr, nullptr) > 0) {
        return S_OK;
    }
    field[0] = '\0';
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return LastConversionError();
    }
    // Too long for the field: convert the whole text aside, then keep whole characters only.
    const int length = ::WideCharToMultiByte(fw::ProgramCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return LastConversionError();
    }
    fw::UniqueGlobal whole = fw::AllocZeroed(static_cast<SIZE_T>(length));
    if (!whole) {
        return E_OUTOFMEMORY;
    }
    char* const begin = static_cast<char*>(whole.get());
    if (::WideCharToMultiByte(fw::ProgramCodePage, 0, text, -1, begin, length, nullptr, nullptr) <= 0) {
        return LastConversionError();
    }
    const char* kept = begin;
    for (const char* next = ::CharNextExA(fw::ProgramCodePage, kept, 0); next != kept && next - begin < AnsiFieldSize;
         next = ::CharNextExA(fw::ProgramCodePage, kept, 0)) {
        kept = next;
    }
    const size_t keptBytes = static_cast<size_t>(kept - begin);
    std::memcpy(field, begin, keptBytes);
    field[keptBytes] = '\0';
    return S_OK;
}
