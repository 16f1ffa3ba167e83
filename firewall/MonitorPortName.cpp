#include "firewall/MonitorPortName.h"

#include "framework/ProgramText.h"

#include <windows.h>

// "Tessaly ドライバ配信 監視プログラム" as code page 932 bytes; the source file is UTF-8.
const char MonitorPortName[] = "Tessaly \x83\x68\x83\x89\x83\x43\x83\x6f\x94\x7a\x90\x4d "
                               "\x8a\xc4\x8e\x8b\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80";

namespace {

// Full-width Latin letters in code page 932: upper case 0x8260-0x8279, lower case 0x8281-0x829A.
constexpr unsigned FullWidthLowerA = 0x8281;
constexpr unsigned FullWidthLowerZ = 0x829A;
constexpr unsigned FullWidthCaseDistance = 0x8281 - 0x8260;

// The character at `at` in upper case, a double-byte one as lead * 256 + trail; moves `at` past
// it. A lead byte right before the end stands alone.
unsigned NextUpper(const unsigned char*& at)
{
    unsigned c = *at++;
    if (::IsDBCSLeadByteEx(fw::ProgramCodePage, static_cast<BYTE>(c)) && *at != '\0') {
        c = c << 8 | *at++;
        return c >= FullWidthLowerA && c <= FullWidthLowerZ ? c - FullWidthCaseDistance : c;
    }
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

} // namespace

bool IsMonitorPortName(const char* name)
{
    auto a = reinterpret_cast<const unsigned char*>(name);
    auto b = reinterpret_cast<const unsigned char*>(MonitorPortName);
    for (;;) {
        const unsigned c = NextUpper(a);
        if (c != NextUpper(b)) {
            return false;
        }
        if (c == 0) {
            return true;
        }
    }
}
