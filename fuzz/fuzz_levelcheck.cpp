// Feeds arbitrary bytes to the entry line reader and the level check.
//  - Values drawn from the bytes, made into lines by the builders, read back as built whenever
//    no value holds the key that follows it.
//  - The bytes as a level: every row reads without crashing; a row read as an entry without
//    fault comes back when made again from its fields, its numbers are ReadNumber's, and the
//    copying and the viewing reader agree.
//  - The level checks without crashing; its findings are ordered by row, lie inside the level,
//    have a message, and each file name is asked for once; the level-wide warning comes
//    exactly when there is no [winfile] row.
#include "core/entrylines.h"
#include "core/entryparse.h"
#include "core/levelcheck.h"
#include "core/levelfile.h"
#include "core/randomsource.h"
#include "core/sectionblocks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool holds(const std::string& text, std::string_view key) {
    return text.find(key) != std::string::npos;
}

std::optional<double> readNumber(std::string_view text) {
    if (const auto number = level::ReadNumber(text, "."))
        return *number;
    return std::nullopt;
}

bool sameNumber(std::optional<double> a, std::optional<double> b) {
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

// A position as typed: mostly a number, in any of the forms ReadNumber takes.
std::string position(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return std::to_string(data.ConsumeIntegral<std::int32_t>());
    case 1:
        return level::NumberText(data.ConsumeFloatingPoint<double>());
    default:
        return data.ConsumeRandomLengthString(24);
    }
}

void checkShipRoundTrip(FuzzedDataProvider& data) {
    level::ShipEntryInput input;
    input.x = position(data);
    input.y = position(data);
    input.r = data.ConsumeRandomLengthString(24);
    input.team = data.ConsumeRandomLengthString(24);
    input.option = data.PickValueInArray(
        {level::ShipOption::File, level::ShipOption::Type, level::ShipOption::Level});
    input.fileName = input.type = data.ConsumeRandomLengthString(48);
    input.shipLevel = data.ConsumeIntegralInRange<std::int16_t>(1, 6);

    level::RandomSource random;
    const auto built = level::BuildShipLine(input, random, ".");
    if (!built || !built->has_value())
        return;
    const std::string& line = **built;
    if (holds(input.r, " team=") || holds(input.team, " file=") || holds(input.team, " typ=") ||
        holds(input.team, " sl="))
        return; // such a line reads differently, as documented

    const std::optional<level::ParsedEntry> entry = level::ParseEntryLine(line);
    check(entry && !entry->fault && entry->kind == level::EntryKind::Ship,
          "a built ship line reads");
    const double x = *level::ReadNumber(input.x, ".");
    const double y = *level::ReadNumber(input.y, ".");
    check(entry->head == input.head, "ship head");
    check(entry->x == level::NumberText(x) && entry->y == level::NumberText(y),
          "ship position texts");
    check(entry->r == input.r && entry->team == input.team, "ship heading and team");
    check(entry->option == input.option, "ship option");
    const std::string value = input.option == level::ShipOption::Level
                                  ? level::ShipLevelCode(input.shipLevel)
                                  : input.fileName;
    check(entry->value == value, "ship option value");
}

void checkBaseRoundTrip(FuzzedDataProvider& data) {
    level::BaseEntryInput input;
    input.x = data.ConsumeRandomLengthString(24);
    input.y = data.ConsumeRandomLengthString(24);
    input.file = data.ConsumeRandomLengthString(48);
    const std::optional<std::string> line = level::BuildBaseLine(input).value();
    if (!line || holds(input.x, " y=") || holds(input.y, " file="))
        return;
    const std::optional<level::ParsedEntry> entry = level::ParseEntryLine(*line);
    check(entry && !entry->fault && entry->kind == level::EntryKind::Base,
          "a built base line reads");
    check(entry->head == input.head && entry->x == input.x && entry->y == input.y &&
              entry->value == input.file,
          "base fields");
}

void checkRow(const std::string& row) {
    const std::optional<level::ParsedEntry> entry = level::ParseEntryLine(row);
    const std::optional<level::EntryView> view = level::ViewEntryLine(row);
    check(entry.has_value() == view.has_value(), "both readers see an entry");
    if (!entry)
        return;
    check(entry->fault.has_value() == view->fault.has_value(), "both readers see a fault");
    if (entry->fault) {
        check(!entry->fault->Describe().empty(), "a fault describes itself");
        return;
    }
    check(entry->head == view->head && entry->x == view->x && entry->value == view->value,
          "both readers give the same texts");

    std::string again = entry->head + " x=" + entry->x + " y=" + entry->y;
    if (entry->kind == level::EntryKind::Ship)
        again += " r=" + entry->r + " team=" + entry->team + " " +
                 std::string(level::ShipOptionKey(entry->option)) + entry->value;
    else
        again += " file=" + entry->value;
    check(again == row, "an entry made again from its fields is the row");

    check(sameNumber(entry->xNumber, readNumber(entry->x)), "x is read as ReadNumber does");
    check(sameNumber(entry->yNumber, readNumber(entry->y)), "y is read as ReadNumber does");
    check(sameNumber(entry->rNumber,
                     entry->kind == level::EntryKind::Ship ? readNumber(entry->r) : std::nullopt),
          "r is read as ReadNumber does");
}

void checkLevel(const std::vector<std::string>& rows) {
    std::set<std::string> asked;
    const level::FileLookup lookup = [&asked](const std::string& name) {
        check(asked.insert(name).second, "each file name is asked for once");
        return static_cast<level::FilePresence>(name.size() % 3);
    };
    const std::vector<level::Finding> findings = level::CheckLevel(rows, lookup);
    for (std::size_t i = 0; i < findings.size(); ++i) {
        check(findings[i].row >= 0 && static_cast<std::size_t>(findings[i].row) <= rows.size(),
              "findings lie inside the level");
        check(i == 0 || findings[i - 1].row <= findings[i].row, "findings are ordered by row");
        check(!findings[i].message.empty(), "findings have a message");
    }
    const bool winFile = std::find(rows.begin(), rows.end(), level::WinFileMarker) != rows.end();
    const bool warned = !findings.empty() && findings.front().row == 0;
    check(warned != winFile, "the level-wide warning comes exactly without a [winfile] row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> rows = level::ParseLevelText(bytes);
    for (const std::string& row : rows)
        checkRow(row);
    checkLevel(rows);

    FuzzedDataProvider values(data, size);
    checkShipRoundTrip(values);
    checkBaseRoundTrip(values);
    return 0;
}
