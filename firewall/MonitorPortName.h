#pragma once

// The name under which the monitor program's port is entered in the firewall, in code page 932:
// "Tessaly ドライバ配信 監視プログラム".
extern const char MonitorPortName[];

// True when `name` (code page 932, as the snapshot's fields hold names) is the monitor's name in
// any letter case: character by character, a double-byte character as one, letters compared
// after mapping to upper case (ASCII and full-width Latin letters); every other character must
// be the same. The same kind of comparison as the multibyte C runtime's case-insensitive one,
// but fixed on code page 932 whatever the system's code page.
bool IsMonitorPortName(const char* name);
