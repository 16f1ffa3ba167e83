#pragma once

#include <string>

// Text of the program under test as the driver prints it.

// "…" in UTF-8, with \n, \r, \t, \\, \" and \xHH for other control characters.
std::string Quote(const std::wstring& text);

// The raw bytes as lower-case hex digits, two per byte, no separators.
std::string Hex(const std::string& bytes);
