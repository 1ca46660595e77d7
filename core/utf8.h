#pragma once

#include <cstddef>
#include <string_view>

namespace level {

// Stepping through UTF-8 text, the one walker of the core and the windows: rows, names and paths
// are UTF-8 in memory.

// One character of UTF-8 text: its code point and where the next one starts. A malformed
// sequence (a stray continuation byte, a truncated, overlong or surrogate sequence, one beyond
// U+10FFFF) is one character U+FFFD that ends where the fault shows, so that stepping always
// moves on and never skips a well-formed character that follows.
struct Utf8Character {
    char32_t code = 0;
    std::size_t next = 0;
    bool malformed = false;
};

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// The character that starts at text[at] (at < text.size()).
Utf8Character ReadUtf8Character(std::string_view text, std::size_t at);

// How many bytes from text[at] on are ASCII, looked at eight at a time.
std::size_t AsciiRunLength(std::string_view text, std::size_t at = 0);

// The bytes that the first `characters` characters of text take (all of it when it is shorter).
std::size_t Utf8PrefixLength(std::string_view text, std::size_t characters);

// The last character boundary at or before byte `at` (text.size() when at is beyond it): where
// text can be cut without cutting a character in two.
std::size_t Utf8BoundaryBefore(std::string_view text, std::size_t at);

} // namespace level
