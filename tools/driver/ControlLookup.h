#pragma once

#include "Session.h"

#include <string>
#include <windows.h>

// The current program's current window, or null after printing why there is none.
HWND CurrentWindow(Session& session);

// Control idText of the current window; null after printing why. With usable, only a visible,
// enabled control counts, as only such a control can be operated by a user.
HWND ControlOf(Session& session, const std::string& idText, bool usable);

// Sends a message the program answers at once (a query or a scroll), giving up after a few
// seconds when it hangs; false then. Texts travel as UTF-16.
bool SendQuick(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Waits until the window's thread has gone back to its message loop, so that what it was
// doing with a posted message is finished before the driver looks.
void Settle(HWND window);
