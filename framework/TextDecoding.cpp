#include "framework/TextDecoding.h"

#include "framework/ProgramText.h"

#include <new>

namespace fw {

namespace {

constexpr char Utf8Mark[] = "\xEF\xBB\xBF";
constexpr char Utf16LittleEndianMark[] = "\xFF\xFE";
constexpr char Utf16BigEndianMark[] = "\xFE\xFF";
constexpr wchar_t Replacement = 0xFFFD;

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0;
}

// The lines of [begin, end) joined with CR LF, up to the end mark 0x1A. A unit is a byte of
// code page 932 or UTF-8, where LF, CR and 0x1A never occur inside a multi-byte character, or
// a UTF-16 code unit, so that a byte 0x0A of a UTF-16 character never ends a line.
template <typename Unit>
std::basic_string<Unit> JoinLines(const Unit* begin, const Unit* end)
{
    static constexpr Unit LineEnd[] = {'\r', '\n'};
    std::basic_string<Unit> text;
    const Unit* line = begin;
    const Unit* p = begin;
    for (; p != end && *p != Unit{0x1A}; ++p) {
        if (*p == '\n') {
            const Unit* stop = p != line && p[-1] == '\r' ? p - 1 : p;
            text.append(line, static_cast<size_t>(stop - line)).append(LineEnd, 2);
            line = p + 1;
        }
    }
    if (p != line) {
        // A last line without a line end keeps a CR of its own: only CR LF is a line end.
        text.append(line, static_cast<size_t>(p - line)).append(LineEnd, 2);
    }
    return text;
}

std::wstring Utf16Units(const std::string& bytes, bool bigEndian)
{
    std::wstring units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return units;
}

// The length of the UTF-8 sequence that starts at text[i], with its character in c; 0 when no
// valid one starts there: a stray continuation byte, a cut-off sequence, an overlong form, a
// surrogate or a value beyond U+10FFFF. Decoded here rather than by the system, whose
// treatment of such bytes differs between Windows versions.
size_t Utf8Sequence(const std::string& text, size_t i, char32_t& c)
{
    static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000}; // by length
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    const size_t length = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || text.size() - i < length) {
        return 0;
    }
    c = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        c = c << 6 | (next & 0x3F);
    }
    if (c < Least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool IsUtf8(const std::string& text)
{
    char32_t c = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8Sequence(text, i, c);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring wide;
    wide.reserve(text.size());
    char32_t c = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8Sequence(text, i, c);
        if (length == 0) {
            wide += Replacement;
            ++i;
        } else if (c >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            i += length;
        } else {
            wide += static_cast<wchar_t>(c);
            i += length;
        }
    }
    return wide;
}

} // namespace

bool DecodeText(const std::string& bytes, std::wstring& text)
{
    text.clear();
    try {
        const bool littleEndian = StartsWith(bytes, Utf16LittleEndianMark);
        if (littleEndian || StartsWith(bytes, Utf16BigEndianMark)) {
            const std::wstring units = Utf16Units(bytes, !littleEndian);
            text = JoinLines(units.data(), units.data() + units.size());
            return true;
        }
        const bool marked = StartsWith(bytes, Utf8Mark);
        const std::string lines = JoinLines(bytes.data() + (marked ? 3 : 0), bytes.data() + bytes.size());
        if (marked || IsUtf8(lines)) {
            text = FromUtf8(lines);
            return true;
        }
        // Converted as a whole, as the program's other narrow texts are.
        return ToWide(lines.c_str(), text);
    } catch (const std::bad_alloc&) {
        text.clear();
        return false;
    }
}

} // namespace fw
