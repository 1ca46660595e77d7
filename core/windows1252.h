#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversion between the UTF-8 rows held in memory and the Windows-1252 bytes of the game's files.
// All 256 bytes map to a character and back: the five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control characters of the same number.

// Decodes Windows-1252 bytes to UTF-8. Never fails.
std::string DecodeWindows1252(std::string_view bytes);

// The outcome of encoding UTF-8 text to Windows-1252.
struct Windows1252Encoding {
    bool ok = true;
    std::string bytes;                 // the encoded text, when ok
    char32_t badCharacter = 0;         // the first character without a Windows-1252 byte (U+FFFD
                                       // for a malformed UTF-8 sequence), when not ok
    std::size_t badCharacterIndex = 0; // its 0-based position in characters, when not ok
};
Windows1252Encoding EncodeWindows1252(std::string_view utf8);

// Appends the encoding of utf8 to out. Returns false, with out unchanged up to its old size
// plus whatever was appended, and sets badCharacter, on the first unrepresentable character.
bool AppendWindows1252(std::string_view utf8, std::string& out, char32_t& badCharacter);

// "U+20AC" style name of a code point, and the character itself in UTF-8 when printable.
std::string DescribeCharacter(char32_t c);
