#pragma once

#include <string>

namespace fw {

// A text file's bytes as UTF-16 text for a multi-line edit control.
//
// The encoding: a UTF-8 byte order mark means UTF-8, a UTF-16 one (little- or big-endian)
// UTF-16; without a mark, bytes that are valid UTF-8 throughout are UTF-8 (ASCII alone reads the
// same either way), anything else is code page 932 (ProgramText.h). The mark is not part of the
// text. In UTF-8, a byte that starts no valid sequence shows as U+FFFD; in UTF-16, a last odd
// byte is dropped.
//
// Lines end at LF; a CR right before the LF goes with it. Every line, a last one without a
// line end included, is appended with CR LF, so a final line end adds no empty line and an
// empty file gives an empty text. The character 0x1A ends the text. A line may be of any length.
//
// False, with text empty, when the text does not fit in memory.
bool DecodeText(const std::string& bytes, std::wstring& text);

} // namespace fw
