#pragma once

#include <windows.h>

constexpr int AnsiFieldSize = 260;

// Converts `text` (null counts as empty) into code page 932, the program's own, whatever the
// system's ANSI code page (so names compare with the monitor's on every system), and stores it
// NUL-terminated in `field`. A character that code page lacks becomes its best fit or '?'. A
// longer text is cut at the last whole character that fits in 259 bytes, so a double-byte
// character is never split. Fails only when the platform cannot convert the text or no memory
// is left for the conversion.
HRESULT CopyToAnsiField(const wchar_t* text, char (&field)[AnsiFieldSize]);
