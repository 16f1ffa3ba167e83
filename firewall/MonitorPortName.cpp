#include "firewall/MonitorPortName.h"

#include <windows.h>

// "Tessaly ドライバ配信 監視プログラム" as code page 932 bytes; the source file is UTF-8.
const char MonitorPortName[] = "Tessaly \x83\x68\x83\x89\x83\x43\x83\x6f\x94\x7a\x90\x4d "
                               "\x8a\xc4\x8e\x8b\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80";

bool IsMonitorPortName(const char* name)
{
    // SORT_STRINGSORT: the default word sort would ignore hyphens and apostrophes.
    return ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, name, -1, MonitorPortName,
                            -1) == CSTR_EQUAL;
}
