#include "core/windows1252.h"

#include "core/utf8.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace level {

namespace {

// The characters of the bytes 0x80 to 0x9F. Bytes below 0x80 are ASCII and bytes from 0xA0 up
// stand for U+00A0 to U+00FF. The five bytes Windows-1252 leaves undefined stand for the C1
// control character of the same number.
constexpr std::array<char16_t, 32> highRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr char32_t characterOfByte(unsigned byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return highRow[byte - 0x80];
    return byte;
}

// The UTF-8 form of every byte's character, at most three bytes long.
struct Utf8Form {
    char bytes[3];
    std::uint8_t length;
};

constexpr Utf8Form utf8Of(char32_t c) {
    Utf8Form form{};
    if (c < 0x80) {
        form.bytes[0] = static_cast<char>(c);
        form.length = 1;
    } else if (c < 0x800) {
        form.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        form.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        form.length = 2;
    } else {
        form.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        form.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        form.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        form.length = 3;
    }
    return form;
}

constexpr std::array<Utf8Form, 256> makeDecodeTable() {
    std::array<Utf8Form, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = utf8Of(characterOfByte(b));
    return table;
}

constexpr std::array<Utf8Form, 256> decodeTable = makeDecodeTable();

// The byte for a character, or -1 when Windows-1252 has none.
int byteOfCharacter(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (unsigned i = 0; i < highRow.size(); ++i)
        if (highRow[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        i += AsciiRunLength(bytes, i);
        if (i == bytes.size())
            break;
        const Utf8Character character = ReadUtf8Character(bytes, i);
        if (character.malformed)
            return false;
        i = character.next;
    }
    return true;
}

Result<void, UnrepresentableCharacter> AppendWindows1252(std::string_view utf8, std::string& out) {
    std::size_t i = 0;
    std::size_t characters = 0;
    while (i < utf8.size()) {
        const std::size_t run = AsciiRunLength(utf8, i);
        if (run > 0) {
            out.append(utf8.data() + i, run);
            i += run;
            characters += run;
            continue;
        }
        const Utf8Character character = ReadUtf8Character(utf8, i);
        const char32_t c = character.code;
        i = character.next;
        const int byte = byteOfCharacter(c);
        if (byte < 0)
            return UnrepresentableCharacter{c, characters};
        out.push_back(static_cast<char>(byte));
        ++characters;
    }
    return {};
}

namespace {

bool isPrintable(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return false; // control characters
    if ((c >= 0x0300 && c <= 0x036F) || (c >= 0xFE00 && c <= 0xFE0F))
        return false; // combining marks and variation selectors join the quote before them
    if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
        (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB))
        return false; // invisible format characters and line separators
    if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000)
        return false; // private use
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE)
        return false; // noncharacters
    if (c >= 0xE0000 && c <= 0xE0FFF)
        return false; // tags and supplementary variation selectors
    return true;
}

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x10000) {
        const Utf8Form form = utf8Of(c);
        out.append(form.bytes, form.length);
        return;
    }
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

} // namespace

std::string DecodeWindows1252(std::string_view bytes) {
    std::size_t i = AsciiRunLength(bytes);
    if (i == bytes.size())
        return std::string(bytes);

    std::string out;
    // Every byte from here on takes at most three bytes in UTF-8.
    out.reserve(i + (bytes.size() - i) * 3);
    out.append(bytes.data(), i);
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            const std::size_t run = AsciiRunLength(bytes, i);
            out.append(bytes.data() + i, run);
            i += run;
            continue;
        }
        const Utf8Form& form = decodeTable[byte];
        out.append(form.bytes, form.length);
        ++i;
    }
    return out;
}

Result<std::string, UnrepresentableCharacter> EncodeWindows1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    if (auto appended = AppendWindows1252(utf8, bytes); !appended)
        return appended.error();
    return bytes;
}

std::string DescribeCharacter(char32_t c) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string name = "U+";
    int digits = 4;
    while (digits < 8 && (c >> (4 * digits)) != 0)
        ++digits;
    for (int d = digits - 1; d >= 0; --d)
        name.push_back(hexDigits[(c >> (4 * d)) & 0xF]);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || !isPrintable(c))
        return name;
    std::string text = "\"";
    appendUtf8(c, text);
    text += "\" (" + name + ")";
    return text;
}

} // namespace level
