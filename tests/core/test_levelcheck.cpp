#include "core/levelcheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Rows = std::vector<std::string>;
constexpr auto E = level::Finding::Severity::Error;
constexpr auto W = level::Finding::Severity::Warning;
constexpr auto N = level::Finding::Severity::Note;

struct Expected {
    int row;
    level::Finding::Severity severity;
    std::string message;
    bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
    return out << e.row
               << (e.severity == E   ? ": error: "
                   : e.severity == W ? ": warning: "
                                     : ": note: ")
               << e.message;
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

// A finding names a rule of FindingRules, and has its severity.
void expectKnownRule(const level::Finding& f) {
    const auto rule =
        std::find_if(level::FindingRules.begin(), level::FindingRules.end(),
                     [&f](const level::FindingRule& known) { return known.id == f.rule; });
    if (rule == level::FindingRules.end())
        ADD_FAILURE() << "unknown rule " << f.rule;
    else
        EXPECT_EQ(rule->severity, f.severity) << f.rule;
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

TEST(LevelCheck, EachKindOfFindingHasItsRule) {
    const Rows rows{
        "[shipfiles]",
        "",
        "lost.shp",
        "big.shp",
        "[shipfiles]",
        "[end]",
        "[end]",
        "  ",
        "ADD SHP",
        "ADD SHIP x= 0 y= 0 r=0 team=1",
        "ADD BASE  y=0 x=0 file=base1.bs",
        "ADD BASE q x=0 y=0 file=base1.bs",
        "ADD SHIP x=a y= 0 r=0 team=4 typ=9",
        "ADD BASE  x=2000000 y=0 file=base1.bs",
    };
    std::vector<std::pair<int, std::string>> rules;
    for (const level::Finding& f : level::CheckLevel(rows, gameFolder)) {
        rules.emplace_back(f.row, f.rule);
        expectKnownRule(f);
    }
    const std::vector<std::pair<int, std::string>> expected{
        {0, "no-winfile"},     {1, "open-block"},   {2, "no-file-name"},   {3, "missing-file"},
        {4, "file-case"},      {7, "stray-end"},    {8, "blank-row"},      {9, "unknown-row"},
        {10, "missing-field"}, {11, "field-order"}, {12, "text-before-x"}, {13, "not-a-number"},
        {13, "unknown-team"},  {13, "type-beyond"}, {14, "far-off"},
    };
    EXPECT_EQ(rules, expected);
}

namespace {

// The findings CheckLevelAndTeams adds to CheckLevel's, which come first and unchanged.
std::vector<Expected> teamFindings(const Rows& rows) {
    const level::LevelReport report = level::CheckLevelAndTeams(rows, gameFolder);
    const std::vector<Expected> before = check(rows);
    std::vector<Expected> all;
    for (const level::Finding& f : report.findings) {
        all.push_back({f.row, f.severity, f.message});
        expectKnownRule(f);
    }
    if (all.size() < before.size()) {
        ADD_FAILURE() << "CheckLevel's findings are missing";
        return all;
    }
    EXPECT_EQ(std::vector<Expected>(all.begin(), all.begin() + static_cast<long>(before.size())),
              before);
    return {all.begin() + static_cast<long>(before.size()), all.end()};
}

std::string ship(int x, int y, int r, int team, const std::string& kind = "typ=1") {
    return level::NumberText(x).insert(0, "ADD SHIP x=") + " y=" + level::NumberText(y) +
           " r=" + std::to_string(r) + " team=" + std::to_string(team) + " " + kind;
}

} // namespace

TEST(LevelCheckTeams, TallyAndTheDifferencesOfTheTeams) {
    const Rows rows = withWinFile({
        "ADD BASE  x=0 y=0 file=base1.bs", "ADD BASE  x=2000 y=1500 file=base1.bs",
        "ADD SHIP x= 100 y= 50 r=270 team=1 typ=1", "ADD SHIP x= 140 y= 90 r=270 team=1 typ=1",
        "ADD SHIP x= 1900 y= 1450 r=90 team=2 typ=10",
        "ADD SHIP x= 300 y=-120 r=0 team=1 file=fighter.shp",
        "ADD SHIP x= 1700 y= 1600 r=180 team=2 sl=4", "ADD SHIP x= 1700 y= 1600 r=180 team=2 typ=2",
        "ADD SHIP x= 1700 y= 1600 r=180 team=1 typ=2",
        "ADD SHIP x= 0 y= 0 r=0 team=3 typ=1",     // neither team
        "ADD SHIP x=abc y= 0 r=0 team=2 typ=2",    // counted, though not placed
        "ADD SHIP x= 0 y= 0 r=0 team=2 typ=2 sl=", // its kind is "typ 2 sl="
    });
    const level::TeamTally tally = level::CheckLevelAndTeams(rows, gameFolder).tally;
    EXPECT_EQ(level::TallyText(tally),
              "team 1: 4 ships (typ 1 ×2, typ 2 ×1, fighter.shp ×1) · team 2: 5 ships (typ 2 ×2, "
              "typ 10 ×1, typ 2 sl= ×1, sl 4 ×1) · 2 bases");
    EXPECT_EQ(tally.teams[1].kinds[1], (level::TeamTally::Kind{level::ShipOption::Type, "10", 1}));
    EXPECT_EQ(teamFindings(rows), (std::vector<Expected>{
                                      {0, N, "team 2 has 2 typ 1 ships fewer than team 1"},
                                      {0, N, "team 1 has one typ 2 ship fewer than team 2"},
                                      {0, N, "team 1 has one typ 10 ship fewer than team 2"},
                                      {0, N, "team 1 has one typ 2 sl= ship fewer than team 2"},
                                      {0, N, "team 1 has one sl 4 ship fewer than team 2"},
                                      {0, N, "team 2 has one fighter.shp ship fewer than team 1"},
                                  }));
    EXPECT_EQ(level::TallyText({}), "team 1: 0 ships · team 2: 0 ships · 0 bases");
}

TEST(LevelCheckTeams, ShipsThatNoShipOfTheOtherTeamMirrors) {
    // Twenty ships of team 1 and their mirror images left↔right about x = 1000, the middle of
    // the bases; one of them within a unit and a degree of the exact place.
    Rows rows =
        withWinFile({"ADD BASE  x=0 y=300 file=base1.bs", "ADD BASE  x=2000 y=300 file=base1.bs"});
    const auto kind = [](int i) { return i % 2 ? "file=fighter.shp" : "sl=4"; };
    const auto team2 = [](int i) { return static_cast<std::size_t>(6 + 2 * i); }; // its index
    for (int i = 0; i < 20; ++i) {
        rows.push_back(ship(100 + 40 * i, 20 * i, 30 * i % 360, 1, kind(i)));
        rows.push_back(ship(1900 - 40 * i, 20 * i, (360 - 30 * i % 360) % 360, 2, kind(i)));
    }
    rows[team2(2)] = "ADD SHIP x= 1820.6 y= 40.4 r=301 team=2 sl=4";
    EXPECT_EQ(teamFindings(rows), std::vector<Expected>{});

    Rows unfair = rows;
    unfair[team2(3)] = ship(1780, 60, 272, 2, kind(3));  // 2° off
    unfair[team2(5)] = ship(1700, 100, 210, 2, kind(4)); // of another kind
    unfair.erase(unfair.begin() + static_cast<long>(team2(8)));
    const std::string lr = " (left↔right about x = 1000)";
    EXPECT_EQ(teamFindings(unfair), (std::vector<Expected>{
                                        {0, N, "team 2 has one fighter.shp ship fewer than team 1"},
                                        {12, W, "no ship of team 2 mirrors this one" + lr},
                                        {13, W, "no ship of team 1 mirrors this one" + lr},
                                        {16, W, "no ship of team 2 mirrors this one" + lr},
                                        {17, W, "no ship of team 1 mirrors this one" + lr},
                                        {22, W, "no ship of team 2 mirrors this one" + lr},
                                    }));

    // Two more pairs unmirrored: more than a fifth, so the level is not nearly symmetric.
    for (const int i : {10, 11})
        unfair[team2(i) - 1] = ship(1900 - 40 * i, 20 * i + 5, 0, 2, kind(i));
    EXPECT_EQ(teamFindings(unfair),
              (std::vector<Expected>{{0, N, "team 2 has one fighter.shp ship fewer than team 1"}}));
}

TEST(LevelCheckTeams, ThePointAndTopBottomModes) {
    // About the box's centre (1000, 300): a half turn, and top↔bottom.
    Rows point =
        withWinFile({ship(0, 0, 90, 1), ship(2000, 600, 270, 2), ship(10, 50, 0, 1),
                     ship(1990, 550, 180, 2), ship(500, 300, 45, 1), ship(1500, 300, 225, 2),
                     ship(700, 100, 0, 1), ship(900, 20, 0, 1), ship(1100, 580, 180, 2)});
    EXPECT_EQ(
        teamFindings(point),
        (std::vector<Expected>{
            {0, N, "team 2 has one typ 1 ship fewer than team 1"},
            {7, W, "no ship of team 2 mirrors this one (point symmetry about x = 1000, y = 300)"},
        }));
    const Rows topBottom =
        withWinFile({ship(0, 0, 0, 1), ship(0, 600, 180, 2), ship(200, 20, 90, 1),
                     ship(200, 580, 90, 2), ship(400, 300, 10, 1), ship(2000, 100, 300, 2),
                     ship(2000, 500, 240, 1), ship(900, 250, 30, 2), ship(900, 350, 150, 1)});
    EXPECT_EQ(teamFindings(topBottom),
              (std::vector<Expected>{
                  {0, N, "team 2 has one typ 1 ship fewer than team 1"},
                  {5, W, "no ship of team 2 mirrors this one (top↔bottom about y = 300)"},
              }));
}

TEST(LevelCheckTeams, NearlySymmetricLevelsWithStraysAndUnreadableShips) {
    // Ten pairs of typ 1 ships, mirrored about (500, 300) in a mode; team 1's ships first.
    const auto pairs = [](level::MirrorMode mode) {
        Rows rows;
        for (int i = 0; i < 10; ++i) {
            const level::MapPoint p{100.0 + 30 * i, 50.0 + 20 * i};
            const level::MapPoint m = level::MirroredPoint(mode, {500, 300}, p);
            rows.push_back(ship(static_cast<int>(p.x), static_cast<int>(p.y), 10 * i, 1));
            rows.push_back(ship(static_cast<int>(m.x), static_cast<int>(m.y),
                                static_cast<int>(level::MirroredHeading(mode, 10 * i)), 2));
        }
        return rows;
    };
    const auto with = [](Rows rows, std::initializer_list<std::string> more) {
        rows.insert(rows.end(), more);
        return withWinFile(rows);
    };
    const std::string point = " (point symmetry about x = 500, y = 300)";
    struct Case {
        const char* name;
        Rows rows;
        std::vector<Expected> expected;
    };
    Rows textHeading = withWinFile(pairs(level::MirrorMode::Point));
    textHeading[7] = "ADD SHIP x= 810 y= 490 r=abc team=2 typ=1"; // row 7 mirrored, but r=
    const std::vector<Case> cases{
        {"a stray pair far off moves the box's middle, not the centre the most ships mirror about",
         with(pairs(level::MirrorMode::Point), {ship(5000, 5000, 0, 1), ship(5000, 5010, 0, 2)}),
         {{21, W, "no ship of team 2 mirrors this one" + point},
          {22, W, "no ship of team 1 mirrors this one" + point}}},
        {"the same left↔right",
         with(pairs(level::MirrorMode::LeftRight),
              {ship(5000, 5000, 0, 1), ship(5000, 5010, 0, 2)}),
         {{21, W, "no ship of team 2 mirrors this one (left↔right about x = 500)"},
          {22, W, "no ship of team 1 mirrors this one (left↔right about x = 500)"}}},
        {"a ship whose x is text has no place to mirror",
         with(pairs(level::MirrorMode::Point), {"ADD SHIP x=abc y= 0 r=0 team=1 typ=1"}),
         {{0, N, "team 2 has one typ 1 ship fewer than team 1"}}},
        {"a heading that is text mirrors no heading that is a number, nor the other way",
         textHeading,
         {{7, W, "no ship of team 2 mirrors this one" + point},
          {8, W, "no ship of team 1 mirrors this one" + point}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(teamFindings(c.rows), c.expected) << c.name;
}
