#pragma once

#include <string>

// Exact UTF-8 <-> UTF-16 conversion for the state file; both fail on text that is not valid in
// its encoding (broken UTF-8 bytes, unpaired surrogates) instead of replacing characters.
namespace simfw {

bool Utf8ToWide(const std::string& utf8, std::wstring& wide);
bool WideToUtf8(const std::wstring& wide, std::string& utf8);

} // namespace simfw
