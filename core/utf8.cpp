#include "core/utf8.h"

#include <cstdint>
#include <cstring>

namespace level {

Utf8Character ReadUtf8Character(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return {lead, at + 1, false};
    std::size_t length;
    unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        else if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return {ReplacementCharacter, at + 1, true};
    }
    // A sequence cut short by the end of the text, or by a byte that cannot continue it, is one
    // U+FFFD up to that point: the bytes after it start the next character.
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k == text.size())
            return {ReplacementCharacter, at + k, true};
        const unsigned b = byte(at + k);
        if (b < (k == 1 ? low : 0x80u) || b > (k == 1 ? high : 0xBFu))
            return {ReplacementCharacter, at + k, true};
        code = (code << 6) | (b & 0x3F);
    }
    return {code, at + length, false};
}

std::size_t AsciiRunLength(std::string_view text, std::size_t at) {
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t i = at;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < size && static_cast<unsigned char>(data[i]) < 0x80)
        ++i;
    return i - at;
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    while (characters > 0 && at < text.size()) {
        const std::size_t run = AsciiRunLength(text, at);
        if (run > 0) {
            const std::size_t taken = run < characters ? run : characters;
            at += taken;
            characters -= taken;
            continue;
        }
        at = ReadUtf8Character(text, at).next;
        --characters;
    }
    return at;
}

std::size_t Utf8BoundaryBefore(std::string_view text, std::size_t at) {
    if (at >= text.size())
        return text.size();
    // Back over the continuation bytes 10xxxxxx to a character's first byte, as far as one
    // character reaches (four bytes): a longer run of continuation bytes is malformed anyway.
    std::size_t start = at;
    while (start > 0 && at - start < 3 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return ReadUtf8Character(text, start).next > at ? start : at;
}

} // namespace level
