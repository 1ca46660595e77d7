#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// A malformed sequence, which reads as U+FFFD; a well-formed U+FFFD stays itself.
constexpr char32_t Bad = 0x110000;

// The characters the walker reads from text, one by one.
std::vector<char32_t> walk(std::string_view text) {
    std::vector<char32_t> codes;
    for (std::size_t i = 0; i < text.size();) {
        const level::Utf8Character c = level::ReadUtf8Character(text, i);
        EXPECT_GT(c.next, i) << "the walker must move on";
        EXPECT_TRUE(!c.malformed || c.code == level::ReplacementCharacter);
        codes.push_back(c.malformed ? Bad : c.code);
        i = c.next;
    }
    return codes;
}

} // namespace

TEST(Utf8, ReadsWellFormedAndMalformedSequences) {
    struct Case {
        std::string text;
        std::vector<char32_t> codes;
    };
    const std::vector<Case> cases = {
        {"ab", {'a', 'b'}},
        {"\xC3\xA9", {0xE9}},                       // é
        {"\xE2\x82\xAC", {0x20AC}},                 // €
        {"\xF0\x9F\x9A\x80", {0x1F680}},            // a rocket
        {"\xEF\xBF\xBD", {0xFFFD}},                 // U+FFFD itself, well formed
        {"\xED\x9F\xBF", {0xD7FF}},                 // the last before the surrogates
        {"\x80z", {Bad, 'z'}},                      // a stray continuation byte
        {"\xC3", {Bad}},                            // cut short at the end
        {"\xE2\x82z", {Bad, 'z'}},                  // cut short before a character
        {"\xC0\x80", {Bad, Bad}},                   // overlong NUL
        {"\xE0\x80\x80", {Bad, Bad, Bad}},          // overlong
        {"\xF0\x8F\xBF\xBF", {Bad, Bad, Bad, Bad}}, // overlong U+FFFF
        {"\xED\xA0\x80", {Bad, Bad, Bad}},          // a surrogate
        {"\xF4\x90\x80\x80", {Bad, Bad, Bad, Bad}}, // beyond U+10FFFF
        {"\xFF\xC3\xA9", {Bad, 0xE9}},              // never a lead byte
        // A start cut short takes its own bytes only, never the character after it.
        {"q\xC3z", {'q', Bad, 'z'}},
        {"q\xE2z", {'q', Bad, 'z'}},
        {"\xE2", {Bad}},
        {"\xF0\x9F\x9A", {Bad}},
        {"\xF0\x9Fz", {Bad, 'z'}},
        {"\xF0\xC3\xA9", {Bad, 0xE9}},
        {"\xE2\xE2\x82\xACz", {Bad, 0x20AC, 'z'}}, // a lead byte without its continuation
    };
    for (const Case& c : cases)
        EXPECT_EQ(walk(c.text), c.codes) << c.text;
}

TEST(Utf8, PrefixOfCharactersAndCutsAtBoundaries) {
    const std::string e = "\xC3\xA9";
    EXPECT_EQ(level::Utf8PrefixLength("", 3), 0u);
    EXPECT_EQ(level::Utf8PrefixLength("abc", 0), 0u);
    EXPECT_EQ(level::Utf8PrefixLength("abc", 5), 3u);
    EXPECT_EQ(level::Utf8PrefixLength("ab" + e + "c", 3), 4u);
    EXPECT_EQ(level::Utf8PrefixLength("\x80\x80x", 2), 2u); // malformed bytes count one each

    // A long row's shown part: 4,000 characters, whatever their width in bytes.
    std::string row(3999, 'x');
    row += e + e;
    EXPECT_EQ(level::Utf8PrefixLength(row, 4000), 3999u + 2);
    EXPECT_EQ(level::Utf8PrefixLength(row, 4001), row.size());

    const std::string name = "ab" + e + "\xE2\x82\xAC";
    const std::vector<std::size_t> cutAt = {0, 1, 2, 2, 4, 4, 4, 7, 7};
    for (std::size_t at = 0; at < cutAt.size(); ++at)
        EXPECT_EQ(level::Utf8BoundaryBefore(name, at), cutAt[at]) << at;
    EXPECT_EQ(level::Utf8BoundaryBefore("a\x80\x80\x80\x80\x80", 4), 4u); // no character to keep
    EXPECT_EQ(level::Utf8BoundaryBefore(e + "\x80", 2), 2u); // a stray byte after a character
    const std::string euro = "\xE2\x82\xAC";
    for (const std::size_t at : {1, 2}) // inside a character at the start of the text
        EXPECT_EQ(level::Utf8BoundaryBefore(euro + "abc", at), 0u) << at;
}
