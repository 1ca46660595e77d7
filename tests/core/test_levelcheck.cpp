#include "core/levelcheck.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;
constexpr auto E = level::Finding::Severity::Error;
constexpr auto W = level::Finding::Severity::Warning;

struct Expected {
    int row;
    level::Finding::Severity severity;
    std::string message;
    bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
    return out << e.row << (e.severity == E ? ": error: " : ": warning: ") << e.message;
}

// The game folder of these tests: fighter.shp, cruiser.shp, base1.bs, win.win, and Big.shp,
// which a level names in lower case.
level::FilePresence gameFolder(const std::string& name) {
    const std::map<std::string, level::FilePresence> known{
        {"fighter.shp", level::FilePresence::Exists}, {"cruiser.shp", level::FilePresence::Exists},
        {"base1.bs", level::FilePresence::Exists},    {"win.win", level::FilePresence::Exists},
        {"big.shp", level::FilePresence::OtherCase},
    };
    const auto it = known.find(name);
    return it == known.end() ? level::FilePresence::Missing : it->second;
}

std::vector<Expected> check(const Rows& rows) {
    std::vector<Expected> result;
    for (const level::Finding& f : level::CheckLevel(rows, gameFolder))
        result.push_back({f.row, f.severity, f.message});
    return result;
}

// Rows that follow a complete [winfile] block, so that only the rows under test speak.
Rows withWinFile(Rows rows) {
    rows.insert(rows.end(), {"[winfile]", "win.win", "[end]"});
    return rows;
}

} // namespace

TEST(LevelCheck, EveryBlockFormAndEntryOfAGoodLevelPasses) {
    const Rows rows{
        "[shipfiles]",
        "fighter.shp",
        "cruiser.shp",
        "[end]",
        "[shipfiles]",
        "[end]", // empty block; its type count adds nothing
        "",
        "[winfile]",
        "win.win",
        "[end]",
        "ADD BASE  x=0 y=-5 file=base1.bs",
        "ADD SHIP x= 100 y=-50 r=270 team=1 typ=2",
        "ADD SHIP x= .5 y= 1E+6 r=0 team=2 file=fighter.shp",
        "ADD SHIP x=-1000000 y=-.5 r=0 team=2 file=fighter.shp",
        "ADD SHIP x= 0 y= 0 r=0 team=1 sl=32",
        "ADD SHIP x= 0 y= 0 r=abc team=1 typ=",
        "",
        "[winfile]",
        "[end]",
    };
    EXPECT_EQ(check(rows), std::vector<Expected>{});
}

TEST(LevelCheck, FindingsAndTheirRows) {
    struct Case {
        const char* name;
        Rows rows;
        std::vector<Expected> expected;
    };
    const std::vector<Case> cases{
        {"block cut off by the next marker and by the level's end",
         {"[shipfiles]", "nope.shp", "[winfile]", "win.win"},
         {{1, E, "the [shipfiles] block is not closed by [end]"},
          {2, E, "nope.shp does not exist in the game folder"},
          {3, E, "the [winfile] block is not closed by [end]"}}},
        {"end without a block",
         withWinFile({"[end]", "[shipfiles]", "[end]", "[end]"}),
         {{1, E, "[end] closes no open block"}, {4, E, "[end] closes no open block"}}},
        {"rows outside blocks",
         withWinFile({"ADD SHP x= 0 y= 0 r=0 team=1 typ=1", "  ", "fighter.shp", "[Shipfiles]"}),
         {{1, E, "the row is neither a ship entry, a base entry, a section marker nor empty"},
          {2, E, "the row holds only blanks, which is neither an entry nor an empty row"},
          {3, E, "the row is neither a ship entry, a base entry, a section marker nor empty"},
          {4, E, "the row is neither a ship entry, a base entry, a section marker nor empty"}}},
        {"entries lacking or misplacing fields",
         withWinFile({"ADD SHIP x= 0 y= 0 r=0 team=1", "ADD BASE  y=0 x=0 file=base1.bs"}),
         {{1, E, "the ship entry lacks the field file=, typ= or sl="},
          {2, E, "the base entry has y= before x="}}},
        {"positions that are not numbers",
         withWinFile({"ADD SHIP x= abc y= 0 r=0 team=1 typ=1", "ADD BASE  x=1,5 y= file=base1.bs"}),
         {{1, E, "the ship entry's x= value \" abc\" is not a number"},
          {2, E, "the base entry's x= value \"1,5\" is not a number"},
          {2, E, "the base entry's y= value \"\" is not a number"}}},
        {"files missing, in other case, or none",
         {"ADD SHIP x= 0 y= 0 r=0 team=1 file=fighterr.shp", "[shipfiles]", "big.shp", "", " ",
          "[end]", "ADD BASE  x=0 y=0 file=", "[winfile]", "lost.win", "[end]"},
         {{1, E, "fighterr.shp does not exist in the game folder"},
          {3, W, "big.shp exists in the game folder only in other letter case"},
          {4, E, "the row in the [shipfiles] block names no file"},
          {5, E, "the row in the [shipfiles] block names no file"},
          {7, E, "the base entry's file= names no file"},
          {9, E, "lost.win does not exist in the game folder"}}},
        {"teams",
         withWinFile({"ADD SHIP x= 0 y= 0 r=0 team=3 sl=1", "ADD SHIP x= 0 y= 0 r=0 team= 1 sl=1"}),
         {{1, W, "team=3 is neither team 1 nor team 2"},
          {2, W, "team= 1 is neither team 1 nor team 2"}}},
        {"types beyond the ship files of all blocks, counted before and after",
         withWinFile({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=3", "[shipfiles]", "fighter.shp", "[end]",
                      "ADD SHIP x= 0 y= 0 r=0 team=1 typ=4",
                      "ADD SHIP x= 0 y= 0 r=0 team=1 typ=2.5", "[shipfiles]", "cruiser.shp",
                      "big.shp", "[end]"}),
         {{5, W, "typ=4 asks for ship file 4, but the level lists only 3 ship files"},
          {9, W, "big.shp exists in the game folder only in other letter case"}}},
        {"positions beyond what the map draws",
         withWinFile({"ADD SHIP x= 10000000 y= 0 r=0 team=1 typ=1",
                      "ADD BASE  x=1000000.5 y=-1E+20 file=base1.bs"}),
         {{1, W, "x=10000000 is beyond \u00b11,000,000: the map does not show it"},
          {2, W, "x=1000000.5 is beyond \u00b11,000,000: the map does not show it"},
          {2, W, "y=-1E+20 is beyond \u00b11,000,000: the map does not show it"}}},
        {"no win file",
         {"ADD SHIP x= 0 y= 0 r=0 team=1 typ=9"},
         {{0, W, "the level has no [winfile] block"}}},
        {"an empty level", {}, {{0, W, "the level has no [winfile] block"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(check(c.rows), c.expected) << c.name;
}

TEST(LevelCheck, EachFileNameIsLookedUpOnce) {
    std::map<std::string, int> asked;
    const level::FileLookup counting = [&asked](const std::string& name) {
        ++asked[name];
        return gameFolder(name);
    };
    Rows rows{"[winfile]", "win.win", "[end]", "[shipfiles]", "fighter.shp", "x.shp", "[end]"};
    for (int i = 0; i < 100; ++i) {
        rows.push_back("ADD SHIP x= 0 y= 0 r=0 team=1 file=fighter.shp");
        rows.push_back("ADD BASE  x=0 y=0 file=x.shp");
    }
    const std::vector<level::Finding> findings = level::CheckLevel(rows, counting);
    EXPECT_EQ(asked,
              (std::map<std::string, int>{{"win.win", 1}, {"fighter.shp", 1}, {"x.shp", 1}}));
    EXPECT_EQ(findings.size(), 101u); // x.shp is missing in its block and in every base entry
}
