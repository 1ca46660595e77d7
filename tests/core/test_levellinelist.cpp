#include "core/levellinelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

level::LevelLineList listOf(const std::vector<std::string>& rows,
                            level::LevelLineList::Index selected = -1) {
    level::LevelLineList list;
    for (const auto& row : rows)
        EXPECT_TRUE(list.AddLine(row));
    list.SelectLine(selected);
    return list;
}

const std::vector<std::string> five{"a", "b", "c", "d", "e"};

} // namespace

TEST(LevelLineListRemoveSelected, OnlyRowLeavesEmptyListAndNoSelection) {
    auto list = listOf({"only"}, 0);
    EXPECT_EQ(list.RemoveSelectedLine(), -1);
    EXPECT_EQ(list.LineCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(LevelLineListRemoveSelected, LastRowSelectsNewLastRow) {
    auto list = listOf(five, 4);
    EXPECT_EQ(list.RemoveSelectedLine(), 3);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.SelectedIndex(), 3);
}

TEST(LevelLineListRemoveSelected, MiddleRowSelectsTheFollowingRow) {
    auto list = listOf(five, 2);
    EXPECT_EQ(list.RemoveSelectedLine(), 2);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "d", "e"}));
    EXPECT_EQ(list.LineAt(list.SelectedIndex()), "d");
}

TEST(LevelLineListRemoveSelected, FirstRowSelectsNewFirstRow) {
    auto list = listOf(five, 0);
    EXPECT_EQ(list.RemoveSelectedLine(), 0);
    EXPECT_EQ(list.LineAt(0), "b");
}

TEST(LevelLineListRemoveSelected, NothingSelectedChangesNothing) {
    auto list = listOf(five);
    EXPECT_EQ(list.RemoveSelectedLine(), -1);
    EXPECT_EQ(list.Lines(), five);
    auto empty = listOf({});
    EXPECT_EQ(empty.RemoveSelectedLine(), -1);
    EXPECT_EQ(empty.LineCount(), 0);
}

TEST(LevelLineListRemoveLine, RemovesThatRowAndClearsSelection) {
    auto list = listOf(five, 2);
    list.RemoveLine(2);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "d", "e"}));
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(LevelLineListRemoveLine, OutOfRangeDoesNothing) {
    auto list = listOf(five, 1);
    list.RemoveLine(-1);
    list.RemoveLine(5);
    EXPECT_EQ(list.Lines(), five);
    EXPECT_EQ(list.SelectedIndex(), 1);
}

TEST(LevelLineListMove, UpSwapsWithRowAboveAndFollowsIt) {
    auto list = listOf(five, 3);
    list.MoveLineUp();
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "d", "c", "e"}));
    EXPECT_EQ(list.SelectedIndex(), 2);
    list.MoveLineUp();
    list.MoveLineUp();
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"d", "a", "b", "c", "e"}));
    EXPECT_EQ(list.SelectedIndex(), 0);
}

TEST(LevelLineListMove, DownSwapsWithRowBelowAndFollowsIt) {
    auto list = listOf(five, 1);
    list.MoveLineDown();
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "c", "b", "d", "e"}));
    EXPECT_EQ(list.SelectedIndex(), 2);
}

TEST(LevelLineListMove, EdgesAndNoSelectionDoNothing) {
    auto top = listOf(five, 0);
    top.MoveLineUp();
    EXPECT_EQ(top.Lines(), five);
    EXPECT_EQ(top.SelectedIndex(), 0);

    auto bottom = listOf(five, 4);
    bottom.MoveLineDown();
    EXPECT_EQ(bottom.Lines(), five);
    EXPECT_EQ(bottom.SelectedIndex(), 4);

    auto none = listOf(five);
    none.MoveLineUp();
    none.MoveLineDown();
    EXPECT_EQ(none.Lines(), five);
    EXPECT_EQ(none.SelectedIndex(), -1);

    auto only = listOf({"x"}, 0);
    only.MoveLineUp();
    only.MoveLineDown();
    EXPECT_EQ(only.Lines(), std::vector<std::string>{"x"});
    EXPECT_EQ(only.SelectedIndex(), 0);
}

TEST(LevelLineListAppend, GoesAfterLastRowAndKeepsSelection) {
    auto list = listOf({"a", "b", "c"}, 0);
    EXPECT_TRUE(list.AddEmptyLine());
    EXPECT_TRUE(list.AddLine("a"));
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "c", "", "a"}));
    EXPECT_EQ(list.SelectedIndex(), 0);
}

TEST(LevelLineListClear, EmptiesAndDeselects) {
    auto list = listOf(five, 3);
    list.ClearLines();
    EXPECT_EQ(list.LineCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.ClearLines();
    EXPECT_EQ(list.LineCount(), 0);
}

TEST(LevelLineListSelect, OutsideTheRowsSelectsNone) {
    auto list = listOf(five, 2);
    list.SelectLine(5);
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SelectLine(4);
    EXPECT_EQ(list.SelectedIndex(), 4);
    list.SelectLine(-1);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(LevelLineListLimit, AppendAtTheLimitIsRefusedAndChangesNothing) {
    level::LevelLineList list;
    for (int i = 0; i < level::LevelLineList::MaxRows; ++i)
        ASSERT_TRUE(list.AddLine("row"));
    list.SelectLine(level::LevelLineList::MaxRows - 1);
    EXPECT_EQ(list.LineCount(), 32767);
    EXPECT_FALSE(list.AddLine("one too many"));
    EXPECT_FALSE(list.AddEmptyLine());
    EXPECT_EQ(list.LineCount(), 32767);
    EXPECT_EQ(list.LineAt(32766), "row");
    EXPECT_EQ(list.SelectedIndex(), 32766);

    // The last row stays reachable through every operation with 16-bit indices.
    list.MoveLineUp();
    EXPECT_EQ(list.SelectedIndex(), 32765);
    list.SelectLine(32766);
    EXPECT_EQ(list.RemoveSelectedLine(), 32765);
    EXPECT_TRUE(list.AddLine("again"));
    EXPECT_FALSE(list.AddLine("over"));
}

TEST(LevelLineListReplace, ReplacesAllRowsAndDeselects) {
    auto list = listOf(five, 2);
    EXPECT_TRUE(list.ReplaceLines({"x", "y"}));
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(LevelLineListReplace, MoreThanTheLimitIsRefusedAndKeepsTheList) {
    auto list = listOf(five, 2);
    EXPECT_FALSE(list.ReplaceLines(std::vector<std::string>(32768, "r")));
    EXPECT_EQ(list.Lines(), five);
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_TRUE(list.ReplaceLines(std::vector<std::string>(32767, "r")));
    EXPECT_EQ(list.LineCount(), 32767);
}

// The primitives the editor's undo steps are made of: each case runs one on five rows with a
// selection and names the rows, the selection and the outcome it leaves.
struct PrimitiveCase {
    const char* name;
    level::LevelLineList::Index selected;
    bool (*run)(level::LevelLineList&);
    bool done; // false: refused, the list exactly as before
    std::vector<std::string> rows;
    level::LevelLineList::Index selectedAfter;
};

class LevelLineListPrimitives : public ::testing::TestWithParam<PrimitiveCase> {};

TEST_P(LevelLineListPrimitives, ChangeWhollyOrNotAtAllAndTheSelectionFollowsItsRow) {
    const PrimitiveCase& c = GetParam();
    auto list = listOf(five, c.selected);
    EXPECT_EQ(c.run(list), c.done);
    EXPECT_EQ(list.Lines(), c.done ? c.rows : five);
    EXPECT_EQ(list.SelectedIndex(), c.done ? c.selectedAfter : c.selected);
}

const std::vector<PrimitiveCase> primitiveCases{
    {"InsertFirst",
     2,
     [](auto& l) { return l.InsertLineAt(0, "x"); },
     true,
     {"x", "a", "b", "c", "d", "e"},
     3},
    {"InsertAtTheEnd",
     4,
     [](auto& l) { return l.InsertLineAt(5, "x"); },
     true,
     {"a", "b", "c", "d", "e", "x"},
     4},
    {"InsertAtTheSelectedRowPushesItDown",
     2,
     [](auto& l) { return l.InsertLineAt(2, ""); },
     true,
     {"a", "b", "", "c", "d", "e"},
     3},
    {"InsertBeyondTheEnd", 1, [](auto& l) { return l.InsertLineAt(6, "x"); }, false, {}, 0},
    {"InsertBeforeTheStart", 1, [](auto& l) { return l.InsertLineAt(-1, "x"); }, false, {}, 0},
    {"RemoveReturnsTheText",
     0,
     [](auto& l) { return l.RemoveLineAt(3) == "d"; },
     true,
     {"a", "b", "c", "e"},
     0},
    {"RemoveAboveTheSelection",
     3,
     [](auto& l) { return l.RemoveLineAt(1).has_value(); },
     true,
     {"a", "c", "d", "e"},
     2},
    {"RemoveTheSelectedRow",
     3,
     [](auto& l) { return l.RemoveLineAt(3).has_value(); },
     true,
     {"a", "b", "c", "e"},
     -1},
    {"RemoveOutside", 3, [](auto& l) { return l.RemoveLineAt(5).has_value(); }, false, {}, 0},
    {"InsertManyWhereverTheyStand",
     2,
     [](auto& l) {
         std::vector<std::string> texts{"x", "y", "z"};
         return l.InsertLinesAt({0, 3, 7}, texts) && texts.empty();
     },
     true,
     {"x", "a", "b", "y", "c", "d", "e", "z"},
     4},
    {"InsertManyNotAscending",
     2,
     [](auto& l) {
         std::vector<std::string> texts{"x", "y"};
         return l.InsertLinesAt({3, 1}, texts);
     },
     false,
     {},
     0},
    {"InsertManyBeyondTheNewEnd",
     2,
     [](auto& l) {
         std::vector<std::string> texts{"x", "y"};
         return l.InsertLinesAt({0, 7}, texts);
     },
     false,
     {},
     0},
    {"RemoveManyReturnsTheirTexts",
     3,
     [](auto& l) {
         return l.RemoveLinesAt({0, 2, 4}) == std::vector<std::string>{"a", "c", "e"};
     },
     true,
     {"b", "d"},
     1},
    {"RemoveManyWithTheSelectedRow",
     2,
     [](auto& l) {
         return l.RemoveLinesAt({1, 2}).has_value();
     },
     true,
     {"a", "d", "e"},
     -1},
    {"RemoveManyNotAscending",
     2,
     [](auto& l) {
         return l.RemoveLinesAt({3, 1}).has_value();
     },
     false,
     {},
     0},
    {"MoveDownTakesTheSelectedRowAlong",
     1,
     [](auto& l) { return l.MoveLine(1, 3); },
     true,
     {"a", "c", "d", "b", "e"},
     3},
    {"MoveUpShiftsTheSelectionBetween",
     2,
     [](auto& l) { return l.MoveLine(4, 0); },
     true,
     {"e", "a", "b", "c", "d"},
     3},
    {"MoveDownShiftsTheSelectionBetween",
     3,
     [](auto& l) { return l.MoveLine(0, 4); },
     true,
     {"b", "c", "d", "e", "a"},
     2},
    {"MoveOntoItself", 2, [](auto& l) { return l.MoveLine(2, 2); }, true, five, 2},
    {"MoveOutside", 2, [](auto& l) { return l.MoveLine(2, 5); }, false, {}, 0},
    {"SetReturnsTheOldText",
     2,
     [](auto& l) { return l.SetLineAt(1, "B") == "b"; },
     true,
     {"a", "B", "c", "d", "e"},
     2},
    {"ExchangeHandsBackTheRows",
     2,
     [](auto& l) {
         std::vector<std::string> rows{"x", "y"};
         return l.ExchangeLines(rows) && rows == five;
     },
     true,
     {"x", "y"},
     -1},
    {"ExchangeOverTheLimit",
     2,
     [](auto& l) {
         std::vector<std::string> rows(32768, "r");
         return l.ExchangeLines(rows) || rows.size() != 32768;
     },
     false,
     {},
     0},
};

INSTANTIATE_TEST_SUITE_P(Table, LevelLineListPrimitives, ::testing::ValuesIn(primitiveCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(LevelLineListPrimitives, InsertIntoAFullListIsRefused) {
    level::LevelLineList list;
    ASSERT_TRUE(list.ReplaceLines(std::vector<std::string>(32767, "r")));
    EXPECT_FALSE(list.InsertLineAt(0, "x"));
    EXPECT_EQ(list.LineAt(0), "r");
    EXPECT_EQ(list.LineCount(), 32767);
}
