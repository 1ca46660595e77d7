#pragma once

#include "core/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace level {

// Conversion between the UTF-8 rows held in memory and the Windows-1252 bytes of the game's files.
// All 256 bytes map to a character and back: the five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control characters of the same number.

// Whether bytes are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// Decodes Windows-1252 bytes to UTF-8. Never fails.
std::string DecodeWindows1252(std::string_view bytes);

// A character that Windows-1252 has no byte for, and where it stands in the text.
struct UnrepresentableCharacter {
    char32_t character = 0; // U+FFFD for a malformed UTF-8 sequence
    std::size_t index = 0;  // its 0-based position, counted in characters
};

// Encodes UTF-8 text to Windows-1252, or names the first character that has no byte.
Result<std::string, UnrepresentableCharacter> EncodeWindows1252(std::string_view utf8);

// Appends the encoding of utf8 to out. On the first unrepresentable character it stops: out then
// holds its old content plus whatever was encoded before that character.
Result<void, UnrepresentableCharacter> AppendWindows1252(std::string_view utf8, std::string& out);

// "U+20AC" style name of a code point, and the character itself in UTF-8 when printable.
std::string DescribeCharacter(char32_t c);

} // namespace level
