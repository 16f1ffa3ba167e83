#pragma once

#include <string>

// Text of the program under test (code page 932) as the driver prints it.

// "…" with \n, \r, \t, \\, \" and \xHH for other control characters; the text converted from
// code page 932 to UTF-8.
std::string QuoteCp932(const std::string& cp932);

// The raw bytes as lower-case hex digits, two per byte, no separators.
std::string Hex(const std::string& bytes);
