#pragma once

#include <windows.h>

// Where the monitor program keeps its settings: its key exists while the monitor is installed,
// and the key's REG_DWORD value PortNumberValue holds the monitor's UDP port number. The monitor
// is a 32-bit program, so on 64-bit Windows its key lives in the 32-bit registry view: every open
// of the key adds MonitorKeyView to the access it asks for (on 32-bit Windows the flag changes
// nothing), and a key found only in the 64-bit view is not the monitor's.
const HKEY MonitorKeyRoot = HKEY_LOCAL_MACHINE;
constexpr char MonitorKeyPath[] = "SOFTWARE\\Veltra\\VOSKAR";
constexpr REGSAM MonitorKeyView = KEY_WOW64_32KEY;
constexpr char PortNumberValue[] = "PortNumber";
