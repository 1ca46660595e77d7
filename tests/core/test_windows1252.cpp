#include "core/foldernames.h"
#include "core/windows1252.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace {

std::string byteString(unsigned byte) {
    return std::string(1, static_cast<char>(byte));
}

// The characters of bytes 0x80 to 0x9F, written out as text; the undefined five are the C1
// controls of the same number.
const std::string row80to9F = "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
                              "\u0090‘’“”•–—˜™š›œ\u009DžŸ";

// Decodes one UTF-8 character (the test's own reading, independent of the encoder).
char32_t onlyCharacter(const std::string& utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    switch (utf8.size()) {
    case 1:
        return b(0);
    case 2:
        return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    case 3:
        return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    default:
        ADD_FAILURE() << "not one character of at most three bytes: " << utf8;
        return 0;
    }
}

} // namespace

TEST(Windows1252AllBytes, EveryByteDecodesToItsCharacter) {
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char32_t c = onlyCharacter(level::DecodeWindows1252(byteString(byte)));
        if (byte < 0x80 || byte >= 0xA0) {
            EXPECT_EQ(c, byte) << "byte " << byte;
        }
    }
    std::string row;
    for (unsigned byte = 0x80; byte < 0xA0; ++byte)
        row += byteString(byte);
    EXPECT_EQ(level::DecodeWindows1252(row), row80to9F);
}

TEST(Windows1252AllBytes, EveryByteSurvivesDecodeAndEncode) {
    std::string all;
    std::set<std::string> seen;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::string one = byteString(byte);
        const std::string text = level::DecodeWindows1252(one);
        EXPECT_TRUE(seen.insert(text).second) << "two bytes decode alike, byte " << byte;
        const auto back = level::EncodeWindows1252(text);
        ASSERT_TRUE(back) << "byte " << byte;
        EXPECT_EQ(*back, one) << "byte " << byte;
        all += one;
    }
    // Also as one text, where the ASCII runs and the single bytes alternate.
    const auto back = level::EncodeWindows1252(level::DecodeWindows1252(all + all));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all + all);
}

TEST(Windows1252Encode, GermanTextAndEuroBecomeSingleBytes) {
    const auto encoded = level::EncodeWindows1252("Größe €");
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded, "Gr\xF6\xDF"
                        "e \x80");
    EXPECT_EQ(level::DecodeWindows1252(*encoded), "Größe €");
}

TEST(Windows1252Encode, LongAsciiTextIsUnchanged) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += static_cast<char>(i % 128);
    EXPECT_EQ(*level::EncodeWindows1252(text), text);
    EXPECT_EQ(level::DecodeWindows1252(text), text);
}

TEST(Windows1252Encode, OneSpecialCharacterAnywhereInAsciiText) {
    // The ASCII runs are taken several bytes at a time; the odd byte may sit at any offset.
    for (std::size_t at = 0; at < 24; ++at) {
        std::string bytes(24, 'x');
        bytes[at] = '\xE4';
        std::string text(24, 'x');
        text.replace(at, 1, "ä");
        EXPECT_EQ(level::DecodeWindows1252(bytes), text) << "at " << at;
        EXPECT_EQ(*level::EncodeWindows1252(text), bytes) << "at " << at;
        text.replace(at, 2, "Ω");
        EXPECT_EQ(level::EncodeWindows1252(text).error().index, at);
    }
}

TEST(Windows1252Encode, UnrepresentableCharacterIsNamedWithItsPosition) {
    struct Case {
        std::string text;
        char32_t character;
        std::size_t index;
    };
    const Case cases[] = {
        {"Ω", 0x03A9, 0},
        {"x=1 Ω", 0x03A9, 4},
        {"ää€Ω", 0x03A9, 3},              // positions count characters, not bytes
        {"ship😀.shp", 0x1F600, 4},        // four-byte sequence
        {"a\u0080", 0x0080, 1},           // a C1 control whose byte is taken by the euro sign
        {"a\u0085b", 0x0085, 1},          // likewise: byte 0x85 is the ellipsis
        {"\uFFFD", 0xFFFD, 0},            // the replacement character itself
        {"abcdefghij\u2603", 0x2603, 10}, // after an ASCII run longer than one word
    };
    for (const Case& c : cases) {
        const auto encoded = level::EncodeWindows1252(c.text);
        ASSERT_FALSE(encoded) << c.text;
        EXPECT_EQ(encoded.error().character, c.character) << c.text;
        EXPECT_EQ(encoded.error().index, c.index) << c.text;
    }
}

TEST(Windows1252Encode, MalformedUtf8IsRefusedAsReplacementCharacter) {
    const std::string_view cases[] = {
        "\x80",             // stray continuation byte
        "ab\xC3",           // truncated two-byte sequence
        "\xE2\x82",         // truncated three-byte sequence
        "\xC3(",            // lead byte without its continuation
        "\xC0\xAF",         // overlong '/'
        "\xE0\x80\xAF",     // overlong, three bytes
        "\xED\xA0\x80",     // surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xFF",
    };
    for (std::string_view text : cases) {
        const auto encoded = level::EncodeWindows1252(text);
        ASSERT_FALSE(encoded) << testing::PrintToString(std::string(text));
        EXPECT_EQ(encoded.error().character, char32_t{0xFFFD})
            << testing::PrintToString(std::string(text));
    }
}

TEST(Windows1252Encode, AppendKeepsWhatIsThereAndStopsAtTheBadCharacter) {
    std::string out = "kept:";
    EXPECT_TRUE(level::AppendWindows1252("ä", out));
    EXPECT_EQ(out, "kept:\xE4");
    const auto appended = level::AppendWindows1252("bΩ", out);
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.error().character, char32_t{0x03A9});
    EXPECT_EQ(appended.error().index, 1u);
    EXPECT_EQ(out.substr(0, 6), "kept:\xE4");
}

TEST(Windows1252Describe, PrintableCharactersAreShownAndNamed) {
    EXPECT_EQ(level::DescribeCharacter(0x03A9), "\"Ω\" (U+03A9)");
    EXPECT_EQ(level::DescribeCharacter(0x20AC), "\"€\" (U+20AC)");
    EXPECT_EQ(level::DescribeCharacter(0x1F600), "\"😀\" (U+1F600)");
}

TEST(Windows1252Describe, InvisibleCharactersAreOnlyNamed) {
    EXPECT_EQ(level::DescribeCharacter(0x0007), "U+0007");
    EXPECT_EQ(level::DescribeCharacter(0x0085), "U+0085");
    EXPECT_EQ(level::DescribeCharacter(0x200B), "U+200B");
    EXPECT_EQ(level::DescribeCharacter(0x0301), "U+0301");
    EXPECT_EQ(level::DescribeCharacter(0xE000), "U+E000");
}

TEST(NameForDisplay, Utf8NamesStayAndOthersAreReadAsWindows1252) {
    EXPECT_EQ(level::NameForDisplay("level1.lev"), "level1.lev");
    EXPECT_EQ(level::NameForDisplay("W\xC3\xBCste.lev"), "W\xC3\xBCste.lev"); // UTF-8 "Wüste"
    EXPECT_EQ(level::NameForDisplay("W\xFCste.lev"), "W\xC3\xBCste.lev"); // Windows-1252 "Wüste"
    EXPECT_EQ(level::NameForDisplay("\xFF.lev"), "\xC3\xBF.lev");
    EXPECT_EQ(level::NameForDisplay("\x80.lev"), "\xE2\x82\xAC.lev"); // the euro sign
    for (const std::string_view bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(level::IsUtf8(bad)) << testing::PrintToString(std::string(bad));
    EXPECT_TRUE(level::IsUtf8("\xF0\x9F\x98\x80")); // 😀
}
