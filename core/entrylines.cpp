#include "core/entrylines.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <new>
#include <system_error>

namespace level {

namespace {

constexpr std::array<std::string_view, 7> shipLevelNames{"",      "eheavy", "heavy",  "medium",
                                                         "light", "elight", "special"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The magnitude of a finite, non-zero number: its significant digits (no trailing zeros) and
// the decimal exponent of the first of them, after rounding to 15 significant digits.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// "d.ddd…e+XX" with precision digits after the point, correctly rounded.
std::string scientific(double magnitude, int precision) {
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::scientific, precision);
    return std::string(buffer.data(), written.ptr);
}

Digits digitsOf(std::string_view text, std::size_t count) {
    Digits result;
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e && result.digits.size() < count; ++i) {
        if (isDigit(text[i]))
            result.digits.push_back(text[i]);
    }
    while (result.digits.size() > 1 && result.digits.back() == '0')
        result.digits.pop_back();

    const std::string_view exponent = text.substr(e + 1);
    const char* first = exponent.data();
    if (!exponent.empty() && exponent.front() == '+')
        ++first;
    std::from_chars(first, exponent.data() + exponent.size(), result.exponent);
    return result;
}

Digits roundedDigits(double magnitude) {
    const std::string rounded = scientific(magnitude, 14);
    // Rounding up can carry the largest doubles beyond what a double holds, and such a text
    // would read as no number at all: those are cut to 15 digits instead.
    double back = 0;
    if (std::from_chars(rounded.data(), rounded.data() + rounded.size(), back).ec ==
        std::errc::result_out_of_range)
        return digitsOf(scientific(magnitude, 16), 15);
    return digitsOf(rounded, 15);
}

std::string exponentForm(const Digits& d) {
    std::string text(1, d.digits.front());
    if (d.digits.size() > 1) {
        text += '.';
        text.append(d.digits, 1);
    }
    text += 'E';
    text += d.exponent < 0 ? '-' : '+';
    std::string expDigits = std::to_string(d.exponent < 0 ? -d.exponent : d.exponent);
    if (expDigits.size() < 2)
        expDigits.insert(0, 1, '0');
    return text + expDigits;
}

// Appends into one string: GCC 12 at -O3 warns falsely (-Wrestrict) on `"." + std::string(...)`,
// whose inlined insert at the front it cannot follow.
std::string plainForm(const Digits& d) {
    const auto count = static_cast<int>(d.digits.size());
    std::string text;
    if (d.exponent < 0) {
        // .000ddd: no "0" before the point.
        text += '.';
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        text += d.digits;
        return text;
    }
    const int wholeCount = d.exponent + 1;
    if (count <= wholeCount) {
        text = d.digits;
        text.append(static_cast<std::size_t>(wholeCount - count), '0');
        return text;
    }
    const auto split = static_cast<std::size_t>(wholeCount);
    text.append(d.digits, 0, split);
    text += '.';
    text.append(d.digits, split);
    return text;
}

using Problem = ConversionFailure::Problem;

// Reads one field's text as a number, or says why it gives none.
Result<double, ConversionFailure> readField(ShipField field, const std::string& text,
                                            std::string_view decimalSeparator) {
    auto value = ReadNumber(text, decimalSeparator);
    if (!value)
        return ConversionFailure{field,
                                 value.error() == NumberProblem::BeyondRange ? Problem::BeyondRange
                                                                             : Problem::NotANumber,
                                 text};
    return *value;
}

// position + floor(range * r), or why there is none: a text that is not a number, or a result
// beyond the range of a double. A sum that overflows is charged to the range, which is what
// carried the position out of range.
Result<double, ConversionFailure> scatteredPosition(ShipField positionField,
                                                    const std::string& position,
                                                    ShipField rangeField, const std::string& range,
                                                    float r, std::string_view decimalSeparator) {
    const auto fixed = readField(positionField, position, decimalSeparator);
    if (!fixed)
        return fixed;
    const auto spread = readField(rangeField, range, decimalSeparator);
    if (!spread)
        return spread;
    const double offset = std::floor(*spread * static_cast<double>(r));
    const double sum = *fixed + offset;
    if (!std::isfinite(offset) || !std::isfinite(sum))
        return ConversionFailure{rangeField, Problem::PositionBeyondRange, range};
    return sum;
}

// The ship line for two drawn numbers.
Result<std::optional<std::string>, ConversionFailure>
shipLine(const ShipEntryInput& input, float r1, float r2, std::string_view decimalSeparator) {
    const auto x = scatteredPosition(ShipField::X, input.x, ShipField::XRange, input.xRange, r1,
                                     decimalSeparator);
    if (!x)
        return x.error();
    const auto y = scatteredPosition(ShipField::Y, input.y, ShipField::YRange, input.yRange, r2,
                                     decimalSeparator);
    if (!y)
        return y.error();

    std::string line = input.head;
    line += " x=" + NumberText(*x);
    line += " y=" + NumberText(*y);
    line += " r=" + input.r;
    line += " team=" + input.team;
    switch (input.option) {
    case ShipOption::File:
        line += " file=" + input.fileName;
        break;
    case ShipOption::Type:
        line += " typ=" + input.type;
        break;
    case ShipOption::Level:
        line += " sl=" + ShipLevelCode(input.shipLevel);
        break;
    }
    return std::optional<std::string>(std::move(line));
}

} // namespace

std::string ShipLevelName(int level) {
    if (level < 0 || level >= static_cast<int>(shipLevelNames.size()))
        return {};
    return std::string(shipLevelNames[static_cast<std::size_t>(level)]);
}

std::string ShipLevelCode(int level) {
    if (level < 1 || level > 6)
        return {};
    // The two characters after the sign column of NumberText.
    return NumberText(std::ldexp(1.0, level - 1)).substr(1, 2);
}

Result<double, NumberProblem> ReadNumber(std::string_view text, std::string_view decimalSeparator) {
    if (decimalSeparator.empty())
        decimalSeparator = ".";
    text = trimBlanks(text);

    // Normalise to the ASCII form from_chars reads: "-", digits, ".", "e", sign, digits.
    std::string ascii;
    ascii.reserve(text.size());
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-')
            ascii.push_back('-');
        ++pos;
    }

    bool sawSeparator = false;
    std::size_t mantissaDigits = 0;
    while (pos < text.size()) {
        if (isDigit(text[pos])) {
            ascii.push_back(text[pos]);
            ++mantissaDigits;
            ++pos;
        } else if (!sawSeparator && text.substr(pos).starts_with(decimalSeparator)) {
            ascii.push_back('.');
            sawSeparator = true;
            pos += decimalSeparator.size();
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return NumberProblem::NotANumber;

    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ascii.push_back('e');
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ascii.push_back(text[pos++]);
        std::size_t exponentDigits = 0;
        while (pos < text.size() && isDigit(text[pos])) {
            ascii.push_back(text[pos++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return NumberProblem::NotANumber;
    }
    if (pos != text.size())
        return NumberProblem::NotANumber;

    double value = 0.0;
    const char* end = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(ascii.data(), end, value, std::chars_format::general);
    // result_out_of_range: too large for a double, or a non-zero value too small to be told
    // from zero. Both are refused.
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(value)))
        return NumberProblem::BeyondRange;
    if (ec != std::errc() || ptr != end)
        return NumberProblem::NotANumber;
    return value;
}

std::string NumberText(double value) {
    if (std::isnan(value))
        return " NAN";
    const std::string sign = std::signbit(value) && value != 0.0 ? "-" : " ";
    if (std::isinf(value))
        return sign + "INF";
    if (value == 0.0)
        return " 0";

    const Digits d = roundedDigits(std::fabs(value));
    if (d.exponent >= 15 || d.exponent < -4)
        return sign + exponentForm(d);
    return sign + plainForm(d);
}

Result<std::optional<std::string>, ConversionFailure>
BuildShipLine(const ShipEntryInput& input, RandomSource& random,
              std::string_view decimalSeparator) {
    if (input.option == ShipOption::File && input.fileName.empty())
        return std::optional<std::string>(); // no line, and nothing drawn

    // Both numbers are drawn before any text is read, so a failure still uses them up.
    const float r1 = random.NextRandom();
    const float r2 = random.NextRandom();
    try {
        return shipLine(input, r1, r2, decimalSeparator);
    } catch (const std::bad_alloc&) {
        return ConversionFailure{ShipField::X, Problem::NotEnoughMemory, {}};
    }
}

Result<std::optional<std::string>, NotEnoughMemory> BuildBaseLine(const BaseEntryInput& input) {
    if (input.file.empty())
        return std::optional<std::string>();
    try {
        return std::optional<std::string>(input.head + " x=" + input.x + " y=" + input.y +
                                          " file=" + input.file);
    } catch (const std::bad_alloc&) {
        return NotEnoughMemory{};
    }
}

} // namespace level
