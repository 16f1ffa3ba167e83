#pragma once

#include <windows.h>

#include <string>

// Reading and replacing the state file. Both hold a mutex named after the file's path, so
// writers in any thread or process never interleave, and a reader sees either the old or the new
// text whole.
namespace simfw {

// The state file's path from SIMFW_STATE (a Windows path); empty when the variable is not set.
std::wstring StateFilePath();

// Reads the whole file. A missing file is not an error: `exists` is false and `text` empty.
HRESULT ReadStateFile(const std::wstring& path, std::string& text, bool& exists);

// Writes `text` to a temporary file in the same folder, then moves it over the state file.
HRESULT WriteStateFile(const std::wstring& path, const std::string& text);

} // namespace simfw
