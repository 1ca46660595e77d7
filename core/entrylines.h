#pragma once

#include "core/randomsource.h"
#include "core/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace level {

// Ship and base entry lines: "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "ADD BASE  x=0 y=0 file=b.bs".

enum class ShipOption { File, Type, Level };

// The values of one ship entry, as texts the way the ship panel holds them.
struct ShipEntryInput {
    std::string head = "ADD SHIP";
    std::string x = "0";
    std::string xRange = "0";
    std::string y = "0";
    std::string yRange = "0";
    std::string r = "0";
    std::string team = "1";
    ShipOption option = ShipOption::Type;
    std::string fileName;
    std::string type = "1";
    std::int16_t shipLevel = 1; // 1 to 6
};

// The values of one base entry.
struct BaseEntryInput {
    std::string head = "ADD BASE ";
    std::string x = "0";
    std::string y = "0";
    std::string file;
};

// Why a text gives no number.
enum class NumberProblem {
    NotANumber,  // not of the form of a number at all
    BeyondRange, // a number, but beyond what a double holds
};

// The four texts of a ship entry that are read as numbers.
enum class ShipField { X, XRange, Y, YRange };

// Why BuildShipLine built no line although it should have: which field, what is wrong with it,
// and the text as it was typed.
struct ConversionFailure {
    enum class Problem {
        NotANumber,          // the text is no number
        BeyondRange,         // the text is a number beyond the range of numbers
        PositionBeyondRange, // the range is a number, but the position it gives is beyond it
        NotEnoughMemory,     // no memory was left for the line; field and text say nothing
    };
    ShipField field = ShipField::X;
    Problem problem = Problem::NotANumber;
    std::string text;
};

// "eheavy" .. "special" for 1 to 6; the empty text for 0 and anything else.
std::string ShipLevelName(int level);
// "1", "2", "4", "8", "16", "32" for 1 to 6: one bit per level.
std::string ShipLevelCode(int level);

// Reads text as a decimal number: surrounding blanks and tabs, an optional sign, digits with at
// most one decimal separator (the user's, passed in), an optional exponent. Anything else,
// and values beyond a double, give no number.
Result<double, NumberProblem> ReadNumber(std::string_view text, std::string_view decimalSeparator);

// A sign column ("-" or a blank) and the magnitude: " 100", "-20", " 10.5", " .5"; at most
// 15 significant digits; very large or very small magnitudes in exponent form (" 1E+20").
std::string NumberText(double value);

// Builds a ship entry line. Option File without a file name gives no line (an empty optional) and
// draws nothing; otherwise two random numbers are drawn first, and stay used up if a number
// cannot be read.
Result<std::optional<std::string>, ConversionFailure>
BuildShipLine(const ShipEntryInput& input, RandomSource& random, std::string_view decimalSeparator);

// No memory was left to build a line.
struct NotEnoughMemory {};

// Builds a base entry line; an empty file gives no line. Values go in unchanged.
Result<std::optional<std::string>, NotEnoughMemory> BuildBaseLine(const BaseEntryInput& input);

} // namespace level
