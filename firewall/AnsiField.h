#pragma once

#include <windows.h>

constexpr int AnsiFieldSize = 260;

// Converts `text` (null counts as empty) into the ANSI code page and stores it NUL-terminated
// in `field`. A longer text is cut at the last whole character that fits in 259 bytes, so a
// double-byte character is never split. Fails only when the platform cannot convert the
// text or no memory is left for the conversion.
HRESULT CopyToAnsiField(const wchar_t* text, char (&field)[AnsiFieldSize]);
