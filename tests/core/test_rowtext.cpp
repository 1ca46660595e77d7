#include "core/rowtext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Rows = std::vector<std::string>;

// Text from the clipboard: every kind of line end, lines as they stand.
TEST(RowText, TextBecomesRowsAndBack) {
    EXPECT_EQ(level::TextAsRows("a\r\nb\nc\rd"), (Rows{"a", "b", "c", "d"}));
    EXPECT_EQ(level::TextAsRows(" a \n\n\r\n"), (Rows{" a ", "", ""}));
    EXPECT_EQ(level::TextAsRows("\r\r\n"), (Rows{"", ""}));
    EXPECT_EQ(level::TextAsRows(""), Rows{});
    const Rows rows{"ADD SHIP x= 0", "", "\xe2\x82\xac end"};
    EXPECT_EQ(level::RowsAsText(rows), "ADD SHIP x= 0\n\n\xe2\x82\xac end\n");
    EXPECT_EQ(level::TextAsRows(level::RowsAsText(rows)), rows);
}

// The find field's search: A to Z in either case, other characters exactly, round the end both
// ways, from the given row on.
TEST(RowText, FindGoesRoundFromTheGivenRow) {
    const Rows rows{"[winfile]", "file=BASE2.bs", "\xc3\x84rger", "file=base2.bs", "[end]"};
    EXPECT_EQ(level::FindRow(rows, "base2", 0), 1);
    EXPECT_EQ(level::FindRow(rows, "base2", 1), 1);
    EXPECT_EQ(level::FindRow(rows, "base2", 2), 3);
    EXPECT_EQ(level::FindRow(rows, "base2", 4), 1);
    EXPECT_EQ(level::FindRow(rows, "base2", 0, true), 3);
    EXPECT_EQ(level::FindRow(rows, "base2", -1, true), 3);
    EXPECT_EQ(level::FindRow(rows, "\xc3\xa4rger", 0), -1); // only A to Z fold
    EXPECT_EQ(level::FindRow(rows, "\xc3\x84R", 0), 2);
    EXPECT_EQ(level::FindRow(rows, "none", 0), -1);
    EXPECT_EQ(level::FindRow(rows, "", 0), -1);
    EXPECT_EQ(level::FindRow({}, "a", 0), -1);
}
