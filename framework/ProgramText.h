#pragma once

#include <string>
#include <windows.h>

namespace fw {

// The program's own narrow texts (the strings in its code, text files that are neither UTF-8
// nor UTF-16) are code page 932 on every system: the system's ANSI code page plays no part in
// them. Windows get them as UTF-16, so they read the same whatever that code page is.
constexpr UINT ProgramCodePage = 932;

// The NUL-terminated text (code page 932) as UTF-16. False, with wide empty, when it cannot be
// converted or no memory is left.
bool ToWide(const char* text, std::wstring& wide);
// The NUL-terminated UTF-16 text in code page 932; what it lacks becomes its best fit or '?'.
bool FromWide(const wchar_t* wide, std::string& text);

} // namespace fw
