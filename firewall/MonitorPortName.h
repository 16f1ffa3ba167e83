#pragma once

// The name under which the monitor program's port is entered in the firewall, in code page
// 932: "Tessaly ドライバ配信 監視プログラム".
extern const char MonitorPortName[];

// True when `name` is the monitor's name in any letter case, compared in the ANSI code page
// (double-byte characters stay whole; full-width letters fold as well).
bool IsMonitorPortName(const char* name);
