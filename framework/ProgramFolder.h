#pragma once

#include <string>

namespace fw {

// The folder of the running program's file, with its closing backslash, however long its path
// and whatever characters it holds. False, with folder empty, when the system does not tell.
bool GetProgramFolder(std::wstring& folder);

} // namespace fw
