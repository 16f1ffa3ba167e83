#pragma once

#include "Session.h"

#include <set>
#include <string>
#include <windows.h>

// The program's windows as the commands reach them: finding them, reading them, messaging them.

// A visible top-level window of the process that is not in `reported` (windows that no longer
// exist there do not count); only dialogs (class #32770) when dialogsOnly. Null when none.
HWND FindNewWindow(DWORD processId, const std::set<HWND>& reported, bool dialogsOnly);

// The current program's current window, or null after printing why there is none.
HWND CurrentWindow(Session& session);

// Control idText of the current window; null after printing why. With usable, only a visible,
// enabled control counts, as only such a control can be operated by a user.
HWND ControlOf(Session& session, const std::string& idText, bool usable);

// The window's text as the system keeps it for the window (UTF-16, what the user sees).
std::wstring WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);

// Sends a message the program answers at once (a query or a scroll), giving up after a few
// seconds when it hangs; false then. Texts travel as UTF-16.
bool SendQuick(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Posts a key press (down and up) to the window; with alt as the system keys of Alt+key.
void PostKey(HWND target, UINT key, bool alt = false);

// Waits until the window's thread has gone back to its message loop, so that what it was
// doing with a posted message is finished before the driver looks.
void Settle(HWND window);
