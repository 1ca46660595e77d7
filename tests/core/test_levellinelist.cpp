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
