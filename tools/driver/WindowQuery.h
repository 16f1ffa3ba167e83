#pragma once

#include <set>
#include <string>
#include <windows.h>

// A visible top-level window of the process that is not in `reported` (windows that no longer
// exist there do not count); only dialogs (class #32770) when dialogsOnly. Null when none.
HWND FindNewWindow(DWORD processId, const std::set<HWND>& reported, bool dialogsOnly);

// The window's text as the system keeps it for the window (UTF-16, what the user sees).
std::wstring WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);

// Posts a key press (down and up) to the window; with alt as the system keys of Alt+key.
void PostKey(HWND target, UINT key, bool alt = false);
