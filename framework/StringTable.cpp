#include "framework/StringTable.h"

namespace fw {

std::wstring LoadText(UINT id)
{
    wchar_t text[512] = {};
    ::LoadStringW(::GetModuleHandleA(nullptr), id, text, ARRAYSIZE(text));
    return text;
}

std::wstring FormatText(UINT id, std::initializer_list<int> numbers)
{
    // "%d" is the one conversion the texts need, done here: MinGW's wide printf would add imports
    // from msvcrt.dll (fwprintf, fputwc) to those known to be there on Windows XP.
    std::wstring text = LoadText(id);
    size_t at = 0;
    for (const int number : numbers) {
        at = text.find(L"%d", at);
        if (at == std::wstring::npos) {
            break;
        }
        const std::string digits = std::to_string(number);
        text.replace(at, 2, std::wstring(digits.begin(), digits.end()));
        at += digits.size();
    }
    return text;
}

} // namespace fw
