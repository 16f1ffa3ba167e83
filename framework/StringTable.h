#pragma once

#include <initializer_list>
#include <string>
#include <windows.h>

namespace fw {

// Texts of the program's string table, as the UTF-16 they are stored in, so that they read the
// same whatever the system's code page. A text that is not there is empty; the table's texts
// are a few lines at most, and a longer one is cut off, never overrun.
std::wstring LoadText(UINT id);
// The text with each "%d" in it replaced by the next of numbers, in decimal.
std::wstring FormatText(UINT id, std::initializer_list<int> numbers);

} // namespace fw
