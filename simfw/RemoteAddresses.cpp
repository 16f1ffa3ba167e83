#include "RemoteAddresses.h"

#include <cwctype>

namespace simfw {

namespace {

const wchar_t LocalSubnet[] = L"LocalSubnet";

bool IsLocalSubnet(const std::wstring& token)
{
    if (token.size() != sizeof LocalSubnet / sizeof LocalSubnet[0] - 1) {
        return false;
    }
    for (size_t i = 0; i < token.size(); ++i) {
        if (std::towlower(token[i]) != std::towlower(LocalSubnet[i])) {
            return false;
        }
    }
    return true;
}

// A decimal number of one to three digits up to `max` at `pos`, which moves past it.
bool ReadNumber(const std::wstring& text, size_t& pos, int max)
{
    int value = 0;
    size_t digits = 0;
    for (; pos < text.size() && digits < 3 && text[pos] >= L'0' && text[pos] <= L'9'; ++pos, ++digits) {
        value = value * 10 + (text[pos] - L'0');
    }
    return digits > 0 && value <= max;
}

// Four numbers up to 255 separated by dots at `pos`, which moves past them.
bool ReadDottedQuad(const std::wstring& text, size_t& pos)
{
    for (int part = 0; part < 4; ++part) {
        if ((part > 0 && (pos >= text.size() || text[pos++] != L'.')) || !ReadNumber(text, pos, 255)) {
            return false;
        }
    }
    return true;
}

// "a.b.c.d", "a.b.c.d/m.m.m.m" or "a.b.c.d/n" with n up to 32.
bool IsSubnet(const std::wstring& token)
{
    size_t pos = 0;
    if (!ReadDottedQuad(token, pos)) {
        return false;
    }
    if (pos < token.size() && token[pos] == L'/') {
        const size_t mask = ++pos;
        if (!ReadDottedQuad(token, pos)) {
            pos = mask;
            if (!ReadNumber(token, pos, 32)) {
                return false;
            }
        }
    }
    return pos == token.size();
}

} // namespace

LONG ScopeOfRemoteAddresses(const std::wstring& list)
{
    if (list == L"*") {
        return 0;
    }
    bool onlyLocalSubnet = true;
    size_t begin = 0;
    for (;;) {
        const size_t end = list.find(L',', begin);
        const std::wstring token = list.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
        const bool localSubnet = IsLocalSubnet(token);
        if (!localSubnet && !IsSubnet(token)) {
            return -1; // "*" among others, an empty token, anything else
        }
        onlyLocalSubnet = onlyLocalSubnet && localSubnet;
        if (end == std::wstring::npos) {
            return onlyLocalSubnet ? 1 : 2;
        }
        begin = end + 1;
    }
}

std::wstring RemoteAddressesOfScope(LONG scope)
{
    switch (scope) {
    case 0:
        return L"*";
    case 1:
        return LocalSubnet;
    default:
        return std::wstring();
    }
}

} // namespace simfw
