#include "core/entrylines.h"
#include "core/randomsource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

level::ShipEntryInput startValues() {
    return level::ShipEntryInput{};
}

std::string lineOf(const level::ShipEntryInput& input, level::RandomSource& random,
                   std::string_view separator = ".") {
    const auto result = level::BuildShipLine(input, random, separator);
    EXPECT_TRUE(result && result->has_value()) << (result ? "no line" : result.error().text);
    return result && result->has_value() ? **result : std::string();
}

std::string lineOf(const level::ShipEntryInput& input) {
    level::RandomSource random;
    return lineOf(input, random);
}

// The field text after "key=" up to the next blank-led field.
double numberAfter(const std::string& line, const std::string& key) {
    const auto start = line.find(key);
    EXPECT_NE(start, std::string::npos) << line;
    const auto from = start + key.size();
    return std::stod(line.substr(from, line.find(" y=", from) - from));
}

} // namespace

// --- the random source -------------------------------------------------------------------

TEST(RandomSource, FirstValuesArePinned) {
    // The generator's sequence decides every scattered position a user has ever produced;
    // a change of the arithmetic must not slip through.
    level::RandomSource random;
    const std::vector<float> expected{11837123.0f / 16777216.0f, 8949370.0f / 16777216.0f,
                                      9722709.0f / 16777216.0f,  4858052.0f / 16777216.0f,
                                      5065847.0f / 16777216.0f,  12997982.0f / 16777216.0f};
    for (float value : expected)
        EXPECT_EQ(random.NextRandom(), value);
}

TEST(RandomSource, TwoFreshSourcesDrawTheSameSequenceWithinRange) {
    level::RandomSource a;
    level::RandomSource b;
    for (int i = 0; i < 100000; ++i) {
        const float value = a.NextRandom();
        ASSERT_EQ(value, b.NextRandom());
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
}

// --- ship entry lines --------------------------------------------------------------------

TEST(ShipLine, StartValuesGiveTheKnownLine) {
    EXPECT_EQ(lineOf(startValues()), "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1");
}

TEST(ShipLine, FieldsGoInAsTyped) {
    struct Case {
        const char* name;
        void (*change)(level::ShipEntryInput&);
        std::string expected;
    };
    const std::vector<Case> cases{
        {"negative x", [](level::ShipEntryInput& in) { in.x = "-50"; },
         "ADD SHIP x=-50 y= 0 r=0 team=1 typ=1"},
        {"positive x", [](level::ShipEntryInput& in) { in.x = "7"; },
         "ADD SHIP x= 7 y= 0 r=0 team=1 typ=1"},
        {"fraction y", [](level::ShipEntryInput& in) { in.y = " 10.5\t"; },
         "ADD SHIP x= 0 y= 10.5 r=0 team=1 typ=1"},
        {"r not a number", [](level::ShipEntryInput& in) { in.r = "abc"; },
         "ADD SHIP x= 0 y= 0 r=abc team=1 typ=1"},
        {"empty r", [](level::ShipEntryInput& in) { in.r = ""; },
         "ADD SHIP x= 0 y= 0 r= team=1 typ=1"},
        {"team 2", [](level::ShipEntryInput& in) { in.team = "2"; },
         "ADD SHIP x= 0 y= 0 r=0 team=2 typ=1"},
        {"type with comma and quote", [](level::ShipEntryInput& in) { in.type = "1,\"2"; },
         "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1,\"2"},
        {"empty type", [](level::ShipEntryInput& in) { in.type = ""; },
         "ADD SHIP x= 0 y= 0 r=0 team=1 typ="},
        {"file option",
         [](level::ShipEntryInput& in) {
             in.option = level::ShipOption::File;
             in.fileName = "f1.shp";
         },
         "ADD SHIP x= 0 y= 0 r=0 team=1 file=f1.shp"},
        {"level 1", [](level::ShipEntryInput& in) { in.option = level::ShipOption::Level; },
         "ADD SHIP x= 0 y= 0 r=0 team=1 sl=1"},
        {"level 5",
         [](level::ShipEntryInput& in) {
             in.option = level::ShipOption::Level;
             in.shipLevel = 5;
         },
         "ADD SHIP x= 0 y= 0 r=0 team=1 sl=16"},
        {"level 6",
         [](level::ShipEntryInput& in) {
             in.option = level::ShipOption::Level;
             in.shipLevel = 6;
         },
         "ADD SHIP x= 0 y= 0 r=0 team=1 sl=32"},
        {"other head", [](level::ShipEntryInput& in) { in.head = "ADD  SHIP"; },
         "ADD  SHIP x= 0 y= 0 r=0 team=1 typ=1"},
    };
    for (const Case& c : cases) {
        level::ShipEntryInput input = startValues();
        c.change(input);
        EXPECT_EQ(lineOf(input), c.expected) << c.name;
    }
}

TEST(ShipLine, OnlyTheChosenOptionIsWritten) {
    level::ShipEntryInput input = startValues();
    input.fileName = "f1.shp";
    input.shipLevel = 4;
    input.option = level::ShipOption::Type;
    EXPECT_EQ(lineOf(input), "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1");
    input.option = level::ShipOption::Level;
    EXPECT_EQ(lineOf(input), "ADD SHIP x= 0 y= 0 r=0 team=1 sl=8");
}

TEST(ShipLine, FirstDrawsScatterBothCoordinates) {
    // r1 = 0.7055..., r2 = 0.5334...: floor(10 r1) = 7, floor(10 r2) = 5.
    level::ShipEntryInput input = startValues();
    input.x = "100";
    input.y = "-3";
    input.xRange = "10";
    input.yRange = "10";
    EXPECT_EQ(lineOf(input), "ADD SHIP x= 107 y= 2 r=0 team=1 typ=1");
}

TEST(ShipLine, WholeRangeGivesEveryOffsetFromZeroToRangeLessOne) {
    level::ShipEntryInput input = startValues();
    input.x = "20";
    input.xRange = "10";
    level::RandomSource random;
    std::set<double> seen;
    for (int i = 0; i < 2000; ++i) {
        const double x = numberAfter(lineOf(input, random), " x=");
        ASSERT_GE(x, 20.0);
        ASSERT_LE(x, 29.0);
        ASSERT_EQ(x, std::floor(x));
        seen.insert(x);
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST(ShipLine, NegativeRangeGivesOffsetsDownToMinusRange) {
    level::ShipEntryInput input = startValues();
    input.xRange = "-4";
    level::RandomSource random;
    std::set<double> seen;
    for (int i = 0; i < 2000; ++i) {
        const double x = numberAfter(lineOf(input, random), " x=");
        ASSERT_GE(x, -4.0);
        ASSERT_LE(x, 0.0); // 0 only for a draw of exactly 0
        seen.insert(x);
    }
    EXPECT_TRUE(seen.count(-4.0) && seen.count(-1.0));
    EXPECT_GE(seen.size(), 4u);
}

TEST(ShipLine, ZeroRangeGivesIdenticalLines) {
    level::ShipEntryInput input = startValues();
    input.x = "12.25";
    input.y = "-7";
    level::RandomSource random;
    const std::string first = lineOf(input, random);
    EXPECT_EQ(first, "ADD SHIP x= 12.25 y=-7 r=0 team=1 typ=1");
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(lineOf(input, random), first);
}

TEST(ShipLine, RefusedFileEntryDrawsNothing) {
    level::ShipEntryInput scattered = startValues();
    scattered.xRange = "1000";
    scattered.yRange = "1000";

    level::ShipEntryInput noFile = scattered;
    noFile.option = level::ShipOption::File;

    level::RandomSource used;
    const auto refused = level::BuildShipLine(noFile, used, ".");
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->has_value());

    level::RandomSource fresh;
    EXPECT_EQ(lineOf(scattered, used), lineOf(scattered, fresh));
}

TEST(ShipLine, ConversionFailureNamesFieldAndReasonAndUsesUpTwoDraws) {
    using Problem = level::ConversionFailure::Problem;
    struct Case {
        const char* name;
        void (*change)(level::ShipEntryInput&);
        level::ShipField field;
        Problem problem;
        std::string text;
    };
    const std::string huge(400, '9');
    const std::vector<Case> cases{
        {"x", [](level::ShipEntryInput& in) { in.x = "abc"; }, level::ShipField::X,
         Problem::NotANumber, "abc"},
        {"x beyond numbers", [](level::ShipEntryInput& in) { in.x = std::string(400, '9'); },
         level::ShipField::X, Problem::BeyondRange, huge},
        {"x range empty", [](level::ShipEntryInput& in) { in.xRange = ""; },
         level::ShipField::XRange, Problem::NotANumber, ""},
        {"x range beyond numbers", [](level::ShipEntryInput& in) { in.xRange = "-1e309"; },
         level::ShipField::XRange, Problem::BeyondRange, "-1e309"},
        {"y", [](level::ShipEntryInput& in) { in.y = "1.2.3"; }, level::ShipField::Y,
         Problem::NotANumber, "1.2.3"},
        {"y beyond numbers", [](level::ShipEntryInput& in) { in.y = "1e999"; }, level::ShipField::Y,
         Problem::BeyondRange, "1e999"},
        {"y range", [](level::ShipEntryInput& in) { in.yRange = "ten"; }, level::ShipField::YRange,
         Problem::NotANumber, "ten"},
        {"y range beyond numbers", [](level::ShipEntryInput& in) { in.yRange = "1e-400"; },
         level::ShipField::YRange, Problem::BeyondRange, "1e-400"},
        {"x before y",
         [](level::ShipEntryInput& in) {
             in.x = "a";
             in.y = "b";
         },
         level::ShipField::X, Problem::NotANumber, "a"},
        {"sum beyond a double",
         [](level::ShipEntryInput& in) {
             in.x = "1.7e308";
             in.xRange = "1e308";
         },
         level::ShipField::XRange, Problem::PositionBeyondRange, "1e308"},
    };
    level::ShipEntryInput scattered = startValues();
    scattered.xRange = "1000";
    scattered.yRange = "1000";

    for (const Case& c : cases) {
        level::ShipEntryInput input = startValues();
        c.change(input);
        level::RandomSource used;
        const auto failed = level::BuildShipLine(input, used, ".");
        ASSERT_FALSE(failed) << c.name;
        EXPECT_EQ(failed.error().field, c.field) << c.name;
        EXPECT_EQ(failed.error().problem, c.problem) << c.name;
        EXPECT_EQ(failed.error().text, c.text) << c.name;

        // The next entry draws the third and fourth numbers: the same as a fresh source's
        // second entry.
        level::RandomSource fresh;
        lineOf(scattered, fresh);
        EXPECT_EQ(lineOf(scattered, used), lineOf(scattered, fresh)) << c.name;
    }
}

TEST(ShipLine, LocaleSeparatorIsUsedForPositionsButLineKeepsThePoint) {
    level::ShipEntryInput input = startValues();
    input.x = "22,5";
    input.yRange = "0,0";
    level::RandomSource random;
    EXPECT_EQ(lineOf(input, random, ","), "ADD SHIP x= 22.5 y= 0 r=0 team=1 typ=1");

    input.x = "22.5";
    const auto refused = level::BuildShipLine(input, random, ",");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().field, level::ShipField::X);
}

// --- ship levels -------------------------------------------------------------------------

TEST(ShipLevel, NamesAndCodes) {
    const std::vector<std::string> names{"",      "eheavy", "heavy",  "medium",
                                         "light", "elight", "special"};
    const std::vector<std::string> codes{"", "1", "2", "4", "8", "16", "32"};
    for (int level = 0; level <= 6; ++level) {
        EXPECT_EQ(level::ShipLevelName(level), names[static_cast<std::size_t>(level)]) << level;
        EXPECT_EQ(level::ShipLevelCode(level), codes[static_cast<std::size_t>(level)]) << level;
    }
    for (int level : {-1, 7, 32767}) {
        EXPECT_EQ(level::ShipLevelName(level), "") << level;
        EXPECT_EQ(level::ShipLevelCode(level), "") << level;
    }
}

// --- base entry lines --------------------------------------------------------------------

TEST(BaseLine, ValuesGoInUnchanged) {
    struct Case {
        level::BaseEntryInput input;
        std::string expected;
    };
    const std::vector<Case> cases{
        {{"ADD BASE ", "0", "0", "base1.bs"}, "ADD BASE  x=0 y=0 file=base1.bs"},
        {{"ADD BASE ", "12", "-5", "b.bs"}, "ADD BASE  x=12 y=-5 file=b.bs"},
        {{"ADD BASE ", "abc", "", "b.bs"}, "ADD BASE  x=abc y= file=b.bs"},
        {{"ADD BASE ", "0", "0", " "}, "ADD BASE  x=0 y=0 file= "},
        {{"ADD BASE ", "1,5", "\"2\"", "a,b.bs"}, "ADD BASE  x=1,5 y=\"2\" file=a,b.bs"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(level::BuildBaseLine(c.input).value(), c.expected) << c.expected;
}

TEST(BaseLine, EmptyFileGivesNoLine) {
    EXPECT_FALSE(level::BuildBaseLine(level::BaseEntryInput{}).value().has_value());
}

// --- ReadNumber --------------------------------------------------------------------------

TEST(ReadNumber, AcceptedForms) {
    struct Case {
        const char* text;
        const char* separator;
        double value;
    };
    const std::vector<Case> cases{
        {"0", ".", 0.0},
        {"42", ".", 42.0},
        {"+42", ".", 42.0},
        {"-42", ".", -42.0},
        {"  7\t", ".", 7.0},
        {"\t -3.25  ", ".", -3.25},
        {"10.5", ".", 10.5},
        {".5", ".", 0.5},
        {"-.5", ".", -0.5},
        {"5.", ".", 5.0},
        {"007", ".", 7.0},
        {"1e3", ".", 1000.0},
        {"1E+3", ".", 1000.0},
        {"2.5e-2", ".", 0.025},
        {"-1.5E2", ".", -150.0},
        {"1.7976931348623157e308", ".", 1.7976931348623157e308},
        {"4e-320", ".", 4e-320}, // subnormal: still a double
        {"0e-99999", ".", 0.0},
        {"22,5", ",", 22.5},
        {",5", ",", 0.5},
        {"-1,5e1", ",", -15.0},
        {" 3 ", ",", 3.0},
        {"1\xD9\xAB"
         "5",
         "\xD9\xAB", 1.5}, // a two-byte separator (Arabic decimal separator)
    };
    for (const Case& c : cases) {
        const auto value = level::ReadNumber(c.text, c.separator);
        ASSERT_TRUE(value) << '"' << c.text << "\" with " << c.separator;
        EXPECT_EQ(*value, c.value) << c.text;
    }
}

TEST(ReadNumber, NegativeZeroKeepsItsSign) {
    const auto value = level::ReadNumber("-0", ".");
    ASSERT_TRUE(value);
    EXPECT_TRUE(std::signbit(*value));
}

TEST(ReadNumber, RefusedForms) {
    struct Case {
        const char* text;
        const char* separator;
    };
    const std::vector<Case> cases{
        {"", "."},
        {"   ", "."},
        {"abc", "."},
        {"1a", "."},
        {"a1", "."},
        {"1 2", "."},
        {"- 1", "."},
        {"+-1", "."},
        {"--1", "."},
        {"+", "."},
        {".", "."},
        {"-.", "."},
        {"1.2.3", "."},
        {"1..2", "."},
        {"e5", "."},
        {".e5", "."},
        {"1e", "."},
        {"1e+", "."},
        {"1e5.5", "."},
        {"1,000", "."},
        {"1.000,5", ","},
        {"22.5", ","},
        {".5", ","},
        {"inf", "."},
        {"-infinity", "."},
        {"nan", "."},
        {"0x10", "."},
        {"1e309", "."},
        {"-1e309", "."},
        {"1e-400", "."}, // non-zero but too small for a double
        {"1\n", "."},
        {"\xC2\xA0"
         "1",
         "."},             // a no-break space is not a blank
        {"\xD9\xA1", "."}, // an Arabic-Indic digit
    };
    for (const Case& c : cases) {
        const auto number = level::ReadNumber(c.text, c.separator);
        ASSERT_FALSE(number) << '"' << c.text << "\" with " << c.separator;
        const bool beyond = std::string_view(c.text).find("e309") != std::string_view::npos ||
                            std::string_view(c.text) == "1e-400";
        EXPECT_EQ(number.error(),
                  beyond ? level::NumberProblem::BeyondRange : level::NumberProblem::NotANumber)
            << '"' << c.text << '"';
    }
}

// --- NumberText --------------------------------------------------------------------------

TEST(NumberText, Forms) {
    struct Case {
        double value;
        const char* text;
    };
    const std::vector<Case> cases{
        {0.0, " 0"},
        {-0.0, " 0"},
        {1.0, " 1"},
        {100.0, " 100"},
        {-20.0, "-20"},
        {10.5, " 10.5"},
        {0.5, " .5"},
        {-0.5, "-.5"},
        {0.25, " .25"},
        {0.001, " .001"},
        {0.0001, " .0001"},
        {-1.0625, "-1.0625"},
        {123456789012345.0, " 123456789012345"},
        {999999999999999.0, " 999999999999999"},
        {1234567.25, " 1234567.25"},
        {0.1, " .1"},                     // not .1000000000000000055...
        {1.0 / 3.0, " .333333333333333"}, // 15 significant digits
        {2.0 / 3.0, " .666666666666667"}, // rounded
        {123456789.123456789, " 123456789.123457"},
        {123456789012345.6, " 123456789012346"}, // rounded to a whole number
        {9999999999999999.0, " 1E+16"},          // rounds up to 16 digits
        {999999999999999.9, " 1E+15"},           // rounds up past the limit
        {1e15, " 1E+15"},
        {1e20, " 1E+20"},
        {-1.5e20, "-1.5E+20"},
        {1.5e-20, " 1.5E-20"},
        {1e-5, " 1E-05"},
        {0.00009999999999999999, " .0001"}, // rounds up into the plain range
        {0.00001234, " 1.234E-05"},
        {1.23456789012346e17, " 1.23456789012346E+17"},
        {-123456789012345678.0, "-1.23456789012346E+17"},
        {1e100, " 1E+100"},
        {1e-300, " 1E-300"},
        // cut, not rounded up past the largest double
        {std::numeric_limits<double>::max(), " 1.79769313486231E+308"},
        {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(level::NumberText(c.value), c.text) << c.text;
}

TEST(NumberText, NonFiniteValuesGiveAMarkerNotAFault) {
    EXPECT_EQ(level::NumberText(std::numeric_limits<double>::infinity()), " INF");
    EXPECT_EQ(level::NumberText(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(level::NumberText(std::numeric_limits<double>::quiet_NaN()), " NAN");
}

TEST(NumberText, ReadsBackToTheSameFifteenDigitValue) {
    // Whatever NumberText writes, ReadNumber reads back as the value rounded to 15 digits.
    level::RandomSource random;
    for (int i = 0; i < 5000; ++i) {
        const double mantissa = static_cast<double>(random.NextRandom()) * 20.0 - 10.0;
        const int exponent = static_cast<int>(random.NextRandom() * 60.0f) - 30;
        const double value = mantissa * std::pow(10.0, exponent);
        const std::string text = level::NumberText(value);
        const auto back = level::ReadNumber(text, ".");
        ASSERT_TRUE(back) << text;
        EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14) << text;
    }
    // Near the largest double, rounding up would leave the range of numbers.
    for (const double largest : {std::numeric_limits<double>::max(), -1.7976931348623155e308}) {
        const std::string text = level::NumberText(largest);
        const auto back = level::ReadNumber(text, ".");
        ASSERT_TRUE(back) << text;
        EXPECT_NEAR(*back, largest, std::fabs(largest) * 1e-14) << text;
    }
}
