#pragma once

#include "FirewallState.h"

#include <string>

// The state file's text format (simfw/README.md): one statement a line, `#` comment lines,
// fields separated by blanks, names last.
namespace simfw {

// Reads the whole text into `state`. Keywords may be spelled in any letter case and protocols,
// scopes and IP versions as numbers; comments and blank lines are dropped. On a line that is
// not understood, returns false with `error` = "line N: reason: text".
bool ParseState(const std::string& text, FirewallState& state, std::string& error);

// The canonical text: the `current` line, every Domain port, every Standard port, then the
// other statements exactly as they were read.
std::string FormatState(const FirewallState& state);

} // namespace simfw
