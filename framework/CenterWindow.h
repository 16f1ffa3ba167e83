#pragma once

#include <windows.h>

namespace fw {

// Moves a top-level window, keeping its size, to the middle of the work area (the screen less
// the taskbar and other docked bars) of the monitor it is on, or else the nearest one. A window
// larger than the work area keeps its top-left corner, and so its caption, inside it. False
// when the window or its monitor cannot be read or the window cannot be moved.
bool CenterOnWorkArea(HWND window);

} // namespace fw
