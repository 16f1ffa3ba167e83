#pragma once

#include <string>

namespace fw {

// Reads a text file for display in a multi-line edit control. The file is opened read-only
// and without sharing: while anyone else holds it open, the open fails.
//
// Lines end at LF; a CR right before the LF goes with it. Every line, a last one without a
// line end included, is appended with CR LF, so a final line end adds no empty line and an
// empty file gives an empty text. A byte 0x1A ends the text. All other bytes are kept as
// they are, in no particular code page, and a line may be of any length.
//
// Returns false, with text empty, when the file cannot be opened or the text does not fit
// in memory. A read error part-way keeps the lines read until then.
bool ReadTextFile(const char* path, std::string& text);

} // namespace fw
