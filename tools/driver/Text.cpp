#include "Text.h"

#include <cstdio>
#include <windows.h>

namespace {

std::string Convert(const std::string& text, UINT from, UINT to)
{
    if (text.empty()) {
        return text;
    }
    const int wideLength = ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) {
        return std::string();
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &wide[0], wideLength);
    const int length = ::WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(to, 0, wide.data(), wideLength, &result[0], length, nullptr, nullptr);
    return result;
}

} // namespace

std::string QuoteCp932(const std::string& cp932)
{
    const std::string utf8 = Convert(cp932, 932, CP_UTF8);
    std::string quoted = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof(escape), "\\x%02x", static_cast<unsigned char>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += digits[b >> 4];
        hex += digits[b & 0x0F];
    }
    return hex;
}
