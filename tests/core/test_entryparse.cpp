#include "core/entryparse.h"
#include "core/randomsource.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// The number a text reads as, if any.
std::optional<double> numberOf(std::string_view text) {
    if (const auto number = level::ReadNumber(text, "."))
        return *number;
    return std::nullopt;
}

level::ParsedEntry parsed(const std::string& line) {
    const std::optional<level::ParsedEntry> entry = level::ParseEntryLine(line);
    EXPECT_TRUE(entry.has_value()) << line;
    EXPECT_FALSE(entry && entry->fault) << line << ": " << entry->fault->Describe();
    return entry.value_or(level::ParsedEntry{});
}

} // namespace

TEST(EntryParse, ShipLinesReadBackAsBuilt) {
    struct Case {
        std::string x; // position as typed, read with "." (ranges are 0)
        std::string y;
        std::string r;
        std::string team;
        level::ShipOption option;
        std::string value; // file name or type; for Level the ship level 1 to 6
    };
    // Values may hold keys other than the one that follows them, and the last one anything.
    const std::vector<Case> cases{
        {"0", "0", "0", "1", level::ShipOption::Type, "1"},
        {"-20", "100", "270", "2", level::ShipOption::File, "fighter.shp"},
        {".5", "-.25", "", "", level::ShipOption::Type, ""},
        {"1e20", "-1.5e-20", "abc", "3", level::ShipOption::Level, "6"},
        {"123456.75", "-0.0001", "x= 1 y=", "1", level::ShipOption::Level, "1"},
        {"7", "-50", "45", "r=1 team=2", level::ShipOption::File, "a b typ=1 sl=2 file=c.shp"},
        {"999999999999999", "0", "1,5", "\"1\"", level::ShipOption::Type, "12 team=1"},
    };
    for (const Case& c : cases) {
        level::ShipEntryInput input;
        input.x = c.x;
        input.y = c.y;
        input.r = c.r;
        input.team = c.team;
        input.option = c.option;
        input.fileName = input.type = c.value;
        if (c.option == level::ShipOption::Level)
            input.shipLevel = static_cast<std::int16_t>(std::stoi(c.value));
        level::RandomSource random;
        const auto built = level::BuildShipLine(input, random, ".");
        ASSERT_TRUE(built && built->has_value()) << c.x;
        const std::string& line = **built;

        const level::ParsedEntry entry = parsed(line);
        const double x = *level::ReadNumber(c.x, ".");
        const double y = *level::ReadNumber(c.y, ".");
        EXPECT_EQ(entry.kind, level::EntryKind::Ship);
        EXPECT_EQ(entry.head, "ADD SHIP");
        EXPECT_EQ(entry.x, level::NumberText(x)) << line;
        EXPECT_EQ(entry.y, level::NumberText(y)) << line;
        EXPECT_EQ(entry.xNumber, x) << line;
        EXPECT_EQ(entry.yNumber, y) << line;
        EXPECT_EQ(entry.r, c.r) << line;
        EXPECT_EQ(entry.rNumber, numberOf(c.r)) << line;
        EXPECT_EQ(entry.team, c.team) << line;
        EXPECT_EQ(entry.option, c.option) << line;
        EXPECT_EQ(entry.value, c.option == level::ShipOption::Level
                                   ? level::ShipLevelCode(input.shipLevel)
                                   : c.value)
            << line;
    }
}

TEST(EntryParse, BaseLinesReadBackAsBuilt) {
    const std::vector<level::BaseEntryInput> cases{
        {"ADD BASE ", "0", "0", "base1.bs"},
        {"ADD BASE ", "-12.5", "1e3", "b.bs"},
        {"ADD BASE ", "abc", "", " "},
        {"ADD BASE ", "file=1", "x=2", "a,b y=1 file=c.bs"},
    };
    for (const level::BaseEntryInput& input : cases) {
        const std::string line = level::BuildBaseLine(input).value().value();
        const level::ParsedEntry entry = parsed(line);
        EXPECT_EQ(entry.kind, level::EntryKind::Base);
        EXPECT_EQ(entry.head, "ADD BASE ");
        EXPECT_EQ(entry.x, input.x) << line;
        EXPECT_EQ(entry.y, input.y) << line;
        EXPECT_EQ(entry.value, input.file) << line;
        EXPECT_EQ(entry.xNumber, numberOf(input.x)) << line;
        EXPECT_EQ(entry.yNumber, numberOf(input.y)) << line;
    }
}

TEST(EntryParse, OtherRowsAreNoEntries) {
    for (const char* line : {"", "ADD SHP x= 0 y= 0 r=0 team=1 typ=1", "ADD SHIPS x= 0",
                             "add ship x= 0 y= 0 r=0 team=1 typ=1", "ADD BASEx=0 y=0 file=b.bs",
                             " ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "[shipfiles]", "ADD"})
        EXPECT_FALSE(level::ParseEntryLine(line).has_value()) << line;
}

TEST(EntryParse, FaultsNameTheField) {
    struct Case {
        std::string line;
        std::string description;
    };
    const std::vector<Case> cases{
        {"ADD SHIP", "lacks the field x="},
        {"ADD SHIP x= 0 r=0 team=1 typ=1", "lacks the field y="},
        {"ADD SHIP y= 0 x= 0 r=0 team=1 typ=1", "has y= before x="},
        {"ADD SHIP x= 0 y= 0 team=1 r=0 typ=1", "has team= before r="},
        {"ADD SHIP x= 0 y= 0 r=0 team=1", "lacks the field file=, typ= or sl="},
        {"ADD SHIP x= 0 y= 0 sl=2 r=0 team=1", "has sl= before team="},
        {"ADD SHIP foo x= 0 y= 0 r=0 team=1 typ=1", "has text other than blanks before x="},
        {"ADD BASE  x=0 file=b.bs", "lacks the field y="},
        {"ADD BASE  x=0 y=0", "lacks the field file="},
        {"ADD BASE  y=0 x=0 file=b.bs", "has y= before x="},
    };
    for (const Case& c : cases) {
        const std::optional<level::ParsedEntry> entry = level::ParseEntryLine(c.line);
        ASSERT_TRUE(entry && entry->fault) << c.line;
        EXPECT_EQ(entry->fault->Describe(), c.description) << c.line;
        EXPECT_TRUE(entry->x.empty() && entry->value.empty()) << c.line;
    }
}

TEST(EntryParse, BlanksAfterTheHeadAndTextsThatAreNoNumbers) {
    const level::ParsedEntry base = parsed("ADD BASE x=1 y=2 file=b.bs");
    EXPECT_EQ(base.head, "ADD BASE");
    const level::ParsedEntry ship = parsed("ADD SHIP   x=abc y=2,5 r=r team=1 sl=4");
    EXPECT_EQ(ship.head, "ADD SHIP  ");
    EXPECT_FALSE(ship.xNumber || ship.yNumber || ship.rNumber);
}
