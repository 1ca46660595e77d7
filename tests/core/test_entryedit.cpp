#include "core/entryedit.h"
#include "core/entryparse.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using level::EntryEdit;
using level::EntryEditProblem;
using level::MirrorMode;

// An edit's row, or its problem written as "problem N", so one comparison shows either.
std::string outcome(const EntryEdit& edit) {
    return edit ? *edit : "problem " + std::to_string(static_cast<int>(edit.error()));
}
std::string problem(EntryEditProblem p) {
    return "problem " + std::to_string(static_cast<int>(p));
}

struct Case {
    std::string row;
    std::function<EntryEdit(const std::string&)> edit;
    std::string expected; // the new row, or problem(...)
};

void expectEdits(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(outcome(c.edit(c.row)), c.expected) << c.row;
}

auto move(double dx, double dy) {
    return [=](const std::string& row) { return level::MoveEntry(row, dx, dy); };
}
auto place(double x, double y) {
    return [=](const std::string& row) { return level::PlaceEntry(row, x, y); };
}
auto turn(int degrees) {
    return [=](const std::string& row) { return level::TurnShip(row, degrees); };
}
auto swapTeam() {
    return [](const std::string& row) { return level::SwapShipTeam(row); };
}

} // namespace

TEST(EntryEdit, MovingAndPlacingRewriteOnlyXAndY) {
    expectEdits({
        // Ships in the sign-column form, in each naming form.
        {"ADD SHIP x= 100 y=-20 r=0 team=1 typ=1", move(5, 30),
         "ADD SHIP x= 105 y= 10 r=0 team=1 typ=1"},
        {"ADD SHIP x= 0 y= 0 r=90 team=2 file=fighter.shp", move(-20, 0),
         "ADD SHIP x=-20 y= 0 r=90 team=2 file=fighter.shp"},
        // A ship's number stands right after its key in the line builder's form, whatever blanks
        // stood before it; extra blanks after it stay, and so do unknown trailing fields.
        {"ADD SHIP   x=  7  y=-3 r=0  team=1 sl=4 extra=yes", move(1, 3),
         "ADD SHIP   x= 8  y= 0 r=0  team=1 sl=4 extra=yes"},
        {"ADD SHIP x= -20 y= \t-3 r=0 team=1 typ=1", move(25, -2),
         "ADD SHIP x= 5 y=-5 r=0 team=1 typ=1"},
        {"ADD SHIP x=\t 5 y=  5  r=0 team=1 typ=1", move(-10, 0),
         "ADD SHIP x=-5 y= 5  r=0 team=1 typ=1"},
        // A sign column is written where the row had none; fractions become whole numbers.
        {"ADD SHIP x=7 y= .25 r=0 team=1 typ=1", move(0, 0), "ADD SHIP x= 7 y= 0 r=0 team=1 typ=1"},
        {"ADD SHIP x= 10.5 y=-10.5 r=0 team=1 typ=1", move(1, 0),
         "ADD SHIP x= 12 y=-11 r=0 team=1 typ=1"},
        // Bases in plain digits.
        {"ADD BASE  x=0 y=0 file=base1.bs", move(-20, 100), "ADD BASE  x=-20 y=100 file=base1.bs"},
        {"ADD BASE  x= 5 y=7  file=b.bs team=1", move(1, -10),
         "ADD BASE  x= 6 y=-3  file=b.bs team=1"},
        // Placing ignores what x and y held.
        {"ADD SHIP x=abc y= 0 r=0 team=1 typ=1", place(3.6, -2.5),
         "ADD SHIP x= 4 y=-3 r=0 team=1 typ=1"},
        {"ADD BASE  x=a y= file=b.bs", place(0, 12), "ADD BASE  x=0 y=12 file=b.bs"},
        // What cannot be moved.
        {"ADD SHIP x=abc y= 0 r=0 team=1 typ=1", move(1, 1), problem(EntryEditProblem::NotANumber)},
        {"ADD BASE  x=1 y=1,5 file=b.bs", move(1, 1), problem(EntryEditProblem::NotANumber)},
        // A value that would leave the range of numbers would leave the row without one.
        {"ADD SHIP x= 1.7E+308 y= 0 r=0 team=1 typ=1", move(1e308, 0),
         problem(EntryEditProblem::BeyondRange)},
        {"ADD SHIP x= 0 y= 0 r=0 typ=1", move(1, 1), problem(EntryEditProblem::NotAnEntry)},
        {"[end]", place(1, 1), problem(EntryEditProblem::NotAnEntry)},
    });
}

TEST(EntryEdit, TurningAndSwappingTheTeam) {
    expectEdits({
        {"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", turn(15), "ADD SHIP x= 0 y= 0 r=15 team=1 typ=1"},
        {"ADD SHIP x= 0 y= 0 r=350 team=1 typ=1", turn(15), "ADD SHIP x= 0 y= 0 r=5 team=1 typ=1"},
        {"ADD SHIP x= 0 y= 0 r=0 team=1 sl=2", turn(-15), "ADD SHIP x= 0 y= 0 r=345 team=1 sl=2"},
        {"ADD SHIP x= 0 y= 0 r=-90 team=1 typ=1", turn(0), "ADD SHIP x= 0 y= 0 r=270 team=1 typ=1"},
        {"ADD SHIP x= 0 y= 0 r=22.5 team=1 typ=1", turn(15),
         "ADD SHIP x= 0 y= 0 r=38 team=1 typ=1"},
        {"ADD SHIP x= 0 y= 0 r= 705  team=1 file=a.shp", turn(15),
         "ADD SHIP x= 0 y= 0 r= 0  team=1 file=a.shp"},
        {"ADD SHIP x= 0 y= 0 r=abc team=1 typ=1", turn(15), problem(EntryEditProblem::NotANumber)},
        {"ADD SHIP x= 0 y= 0 r= team=1 typ=1", turn(15), problem(EntryEditProblem::NotANumber)},
        {"ADD BASE  x=0 y=0 file=b.bs", turn(15), problem(EntryEditProblem::NotAShip)},

        {"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", swapTeam(), "ADD SHIP x= 0 y= 0 r=0 team=2 typ=1"},
        {"ADD SHIP x= 0 y= 0 r=0 team=2 file=f.shp x", swapTeam(),
         "ADD SHIP x= 0 y= 0 r=0 team=1 file=f.shp x"},
        {"ADD SHIP x= 0 y= 0 r=0 team= 1  sl=1", swapTeam(),
         "ADD SHIP x= 0 y= 0 r=0 team= 2  sl=1"},
        {"ADD SHIP x= 0 y= 0 r=0 team=3 typ=1", swapTeam(),
         problem(EntryEditProblem::NoTeamToSwap)},
        {"ADD SHIP x= 0 y= 0 r=0 team=12 typ=1", swapTeam(),
         problem(EntryEditProblem::NoTeamToSwap)},
        {"ADD BASE  x=0 y=0 file=b.bs", swapTeam(), problem(EntryEditProblem::NotAShip)},
    });
}

TEST(EntryEdit, MirroringInEachMode) {
    struct Mirror {
        std::string row;
        MirrorMode mode;
        level::MapPoint centre;
        std::string expected;
    };
    const level::MapPoint c{1000, 500};
    const std::vector<Mirror> cases{
        {"ADD SHIP x= 100 y= 50 r=270 team=1 typ=1", MirrorMode::Point, c,
         "ADD SHIP x= 1900 y= 950 r=90 team=2 typ=1"},
        {"ADD SHIP x= 100 y= 50 r=270 team=1 typ=1", MirrorMode::LeftRight, c,
         "ADD SHIP x= 1900 y= 50 r=90 team=2 typ=1"},
        {"ADD SHIP x= 100 y= 50 r=270 team=1 typ=1", MirrorMode::TopBottom, c,
         "ADD SHIP x= 100 y= 950 r=270 team=2 typ=1"},
        {"ADD SHIP x= 1200 y=-100 r=180 team=2 file=fighter.shp", MirrorMode::Point, c,
         "ADD SHIP x= 800 y= 1100 r=0 team=1 file=fighter.shp"},
        {"ADD SHIP x= 1200 y=-100 r=45 team=2 sl=4", MirrorMode::LeftRight, c,
         "ADD SHIP x= 800 y=-100 r=315 team=1 sl=4"},
        {"ADD SHIP x= 1200 y=-100 r=0 team=2 sl=4", MirrorMode::TopBottom, c,
         "ADD SHIP x= 1200 y= 1100 r=180 team=1 sl=4"},
        {"ADD SHIP x= 1200 y=-100 r=180 team=2 sl=4", MirrorMode::TopBottom, c,
         "ADD SHIP x= 1200 y= 1100 r=0 team=1 sl=4"},
        {"ADD SHIP x= 5 y= 5 r=90 team=1 typ=2",
         MirrorMode::Point,
         {0, 0},
         "ADD SHIP x=-5 y=-5 r=270 team=2 typ=2"},
        {"ADD BASE  x=0 y=0 file=base1.bs", MirrorMode::Point, c,
         "ADD BASE  x=2000 y=1000 file=base1.bs"},
        {"ADD BASE  x= 1 y=7 file=b.bs",
         MirrorMode::TopBottom,
         {0, 0.5},
         "ADD BASE  x= 1 y=-6 file=b.bs"},
        // On the centre or the mirror line within half a unit, the copy would land on itself.
        {"ADD SHIP x= 1000 y= 20 r=0 team=1 typ=1", MirrorMode::LeftRight, c,
         problem(EntryEditProblem::LandsOnItself)},
        {"ADD BASE  x=7 y=500.4 file=b.bs", MirrorMode::TopBottom, c,
         problem(EntryEditProblem::LandsOnItself)},
        {"ADD SHIP x= 1000.4 y= 499.6 r=0 team=1 typ=1", MirrorMode::Point, c,
         problem(EntryEditProblem::LandsOnItself)},
        {"ADD SHIP x= 1000 y= 600 r=0 team=1 typ=1", MirrorMode::Point, c,
         "ADD SHIP x= 1000 y= 400 r=180 team=2 typ=1"},
        {"ADD SHIP x= 1000 y= 600 r=0 team=1 typ=1", MirrorMode::TopBottom, c,
         "ADD SHIP x= 1000 y= 400 r=180 team=2 typ=1"},
        {"ADD SHIP x= 0 y=a r=0 team=1 typ=1", MirrorMode::LeftRight, c,
         problem(EntryEditProblem::NotANumber)},
        {"ADD SHP x= 0 y= 0", MirrorMode::Point, c, problem(EntryEditProblem::NotAnEntry)},
        {"ADD SHIP x=-1.7E+308 y= 0 r=0 team=1 typ=1",
         MirrorMode::LeftRight,
         {1e308, 0},
         problem(EntryEditProblem::BeyondRange)},
    };
    for (const Mirror& m : cases) {
        const EntryEdit copy = level::MirrorEntry(m.row, m.mode, m.centre);
        EXPECT_EQ(outcome(copy), m.expected) << m.row;
        // Rows in their builders' form mirror back to themselves. The copy's heading is
        // MirroredHeading's, which lies in [0, 360): 180 mirrors to 0, never to 360.
        if (copy) {
            EXPECT_EQ(outcome(level::MirrorEntry(*copy, m.mode, m.centre)), m.row) << m.row;
            const auto heading = level::ViewEntryLine(m.row)->rNumber;
            if (heading) {
                EXPECT_EQ(level::MirroredHeading(m.mode, *heading),
                          level::ViewEntryLine(*copy)->rNumber)
                    << m.row;
            }
        }
    }
    // Only what the mode changes is rewritten: left-right keeps y as written, and a heading
    // that is not a number and a team other than 1 or 2 stay as they are.
    EXPECT_EQ(outcome(level::MirrorEntry("ADD SHIP  x=100 y= 50.5 r=abc team=3 file=a.shp more",
                                         MirrorMode::LeftRight, c)),
              "ADD SHIP  x= 1900 y= 50.5 r=abc team=3 file=a.shp more");
}

TEST(EntryEdit, LevelCentres) {
    const level::LevelCentres centres = level::FindLevelCentres({
        "[winfile]",
        "ADD BASE  x=0 y=0 file=base1.bs",
        "ADD SHIP x=-100 y= 1600 r=0 team=1 typ=1",
        "ADD SHIP x=abc y= 9000 r=0 team=1 typ=1", // no position: left out
        "ADD BASE  x=1000001 y=0 file=far.bs",     // beyond what the map draws: left out
        "ADD SHIP x= 0 y=-1E+7 r=0 team=2 typ=1",
        "ADD BASE  x=2000 y=1500 file=base2.bs",
        "ADD SHIP x= 2101 y=-10 r=0 team=2 typ=1",
    });
    EXPECT_EQ(centres.entries, (level::MapPoint{1000.5, 795}));
    EXPECT_EQ(centres.bases, (level::MapPoint{1000, 750}));

    const level::LevelCentres shipsOnly =
        level::FindLevelCentres({"ADD SHIP x= 4 y= 2 r=0 team=1 typ=1", "[end]"});
    EXPECT_EQ(shipsOnly.entries, (level::MapPoint{4, 2}));
    EXPECT_FALSE(shipsOnly.bases);
    EXPECT_FALSE(level::FindLevelCentres({"", "ADD BASE  x= y=0 file=b.bs"}).entries);
    EXPECT_EQ(level::MapCentre(std::vector<level::MapPoint>{{1e6, -1e6}, {3e6, 0}}),
              (level::MapPoint{1e6, -1e6}));
}
