#pragma once

#include <string>

namespace fw {

// Reads a whole text file as UTF-16 text for display in a multi-line edit control, decoded and
// with its lines joined as DecodeText (TextDecoding.h) does.
//
// The file is opened for reading and shared with everyone: another program that has it open
// (a viewer, an editor, a virus scanner), even for writing, does not keep it from being read.
// It is read in one go and closed before it is decoded.
//
// False, with text empty, when the file cannot be opened (missing, a folder, held by a program
// that shares it with nobody), a read fails part-way (a share gone away: a part is never handed
// back as the whole) or the text does not fit in memory.
bool ReadTextFile(const wchar_t* path, std::wstring& text);

} // namespace fw
