// Feeds arbitrary bytes to the entry line reader and the level check.
//  - Values drawn from the bytes, made into lines by the builders, read back as built whenever
//    no value holds the key that follows it.
//  - The bytes as a level: every row reads without crashing; a row read as an entry without
//    fault comes back when made again from its fields, its numbers are ReadNumber's, and the
//    copying and the viewing reader agree.
//  - The level checks without crashing; its findings are ordered by row, lie inside the level,
//    have a message, and each file name is asked for once; the level-wide warning comes
//    exactly when there is no [winfile] row.
//  - Checked with its teams, the level gives the same findings first, then one team-tally
//    note for each kind the teams hold unequally, then no-mirror warnings on ships of team 1
//    or 2 by row; a team's ships are those of its kinds.
//  - Every row moved, turned, its team swapped and mirrored in each mode, about a centre drawn
//    from the bytes and about the level's centres: an edit fails exactly for the first thing the
//    row lacks; an edited row reads as the same entry, only the values the edit changes
//    changed, coordinates whole and headings whole degrees from 0 to 359; swapping twice gives
//    the row back.
#include "core/entryedit.h"
#include "core/entrylines.h"
#include "core/entryparse.h"
#include "core/levelcheck.h"
#include "core/levelfile.h"
#include "core/randomsource.h"
#include "core/sectionblocks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
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

// A game folder that holds a file or not by its name's length; a check asks for each name once.
level::FileLookup folderLookup(std::set<std::string>& asked) {
    return [&asked](const std::string& name) {
        check(asked.insert(name).second, "each file name is asked for once");
        return static_cast<level::FilePresence>(name.size() % 3);
    };
}

std::vector<level::Finding> checkLevel(const std::vector<std::string>& rows) {
    std::set<std::string> asked;
    const std::vector<level::Finding> findings = level::CheckLevel(rows, folderLookup(asked));
    for (std::size_t i = 0; i < findings.size(); ++i) {
        check(findings[i].row >= 0 && static_cast<std::size_t>(findings[i].row) <= rows.size(),
              "findings lie inside the level");
        check(i == 0 || findings[i - 1].row <= findings[i].row, "findings are ordered by row");
        check(!findings[i].message.empty(), "findings have a message");
    }
    const bool winFile = std::find(rows.begin(), rows.end(), level::WinFileMarker) != rows.end();
    const bool warned = !findings.empty() && findings.front().row == 0;
    check(warned != winFile, "the level-wide warning comes exactly without a [winfile] row");
    return findings;
}

int optionRank(level::ShipOption option) {
    return option == level::ShipOption::Type ? 0 : option == level::ShipOption::Level ? 1 : 2;
}

bool sameFinding(const level::Finding& a, const level::Finding& b) {
    return a.row == b.row && a.severity == b.severity && a.rule == b.rule && a.message == b.message;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

void checkTeams(const std::vector<std::string>& rows, const std::vector<level::Finding>& plain) {
    std::set<std::string> asked;
    const level::LevelReport report = level::CheckLevelAndTeams(rows, folderLookup(asked));
    const std::vector<level::Finding>& findings = report.findings;
    check(findings.size() >= plain.size() &&
              std::equal(plain.begin(), plain.end(), findings.begin(), sameFinding),
          "the check with the teams starts with the level's findings");

    std::map<std::pair<int, std::string>, std::array<int, 2>> kinds;
    for (std::size_t team = 0; team < 2; ++team) {
        const level::TeamTally::Team& tally = report.tally.teams[team];
        int ships = 0;
        for (std::size_t k = 0; k < tally.kinds.size(); ++k) {
            const level::TeamTally::Kind& kind = tally.kinds[k];
            check(kind.ships > 0, "a kind of a team has ships");
            check(k == 0 || optionRank(tally.kinds[k - 1].option) <= optionRank(kind.option),
                  "types, then ship levels, then files");
            int& count = kinds[{optionRank(kind.option), kind.value}][team];
            check(count == 0, "a kind comes once in a team");
            count = kind.ships;
            ships += kind.ships;
        }
        check(ships == tally.ships, "a team's ships are those of its kinds");
    }
    const auto unequal = std::count_if(kinds.begin(), kinds.end(), [](const auto& kind) {
        return kind.second[0] != kind.second[1];
    });

    std::size_t i = plain.size();
    for (; i < findings.size() && findings[i].rule == "team-tally"; ++i)
        check(findings[i].row == 0 && findings[i].severity == level::Finding::Severity::Note,
              "a team-tally note is on the level");
    check(static_cast<std::ptrdiff_t>(i - plain.size()) == unequal,
          "one team-tally note for each kind the teams hold unequally");
    for (const std::size_t first = i; i < findings.size(); ++i) {
        const level::Finding& finding = findings[i];
        check(finding.rule == "no-mirror" && !finding.message.empty() &&
                  finding.severity == level::Finding::Severity::Warning,
              "the teams' findings are team-tally, then no-mirror");
        check(finding.row >= 1 && static_cast<std::size_t>(finding.row) <= rows.size() &&
                  (i == first || findings[i - 1].row < finding.row),
              "no-mirror warnings lie inside the level, one a row, by row");
        const auto ship = level::ViewEntryLine(rows[static_cast<std::size_t>(finding.row) - 1]);
        check(ship && !ship->fault && ship->kind == level::EntryKind::Ship &&
                  (ship->team == "1" || ship->team == "2") && ship->xNumber && ship->yNumber,
              "a no-mirror warning is on a placed ship of team 1 or 2");
    }
}

// The values the edits of a row take, drawn once for all rows of an input.
struct EditValues {
    double dx = 0;
    double dy = 0;
    int degrees = 0;
    std::vector<level::MapPoint> centres;
};

// A distance or a place: a whole number, one in quarters, where rounding turns, or any double.
double drawnNumber(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return data.ConsumeIntegral<std::int32_t>();
    case 1:
        return data.ConsumeIntegralInRange(-4000, 4000) / 4.0;
    default:
        return data.ConsumeFloatingPoint<double>();
    }
}

EditValues editValues(FuzzedDataProvider& data, const std::vector<std::string>& rows) {
    EditValues values;
    values.dx = drawnNumber(data);
    values.dy = drawnNumber(data);
    values.degrees = data.ConsumeIntegral<int>();
    values.centres.push_back({drawnNumber(data), drawnNumber(data)});
    const level::LevelCentres centres = level::FindLevelCentres(rows);
    for (const auto& centre : {centres.entries, centres.bases})
        if (centre)
            values.centres.push_back(*centre);
    return values;
}

// The edit failed for the first problem whose condition holds, or succeeded when none holds.
bool outcome(const level::EntryEdit& edit,
             std::initializer_list<std::pair<bool, level::EntryEditProblem>> problems) {
    for (const auto& [holds, problem] : problems)
        if (holds)
            return !edit && edit.error() == problem;
    return edit.ok();
}

// The entry of an edited row: it reads without fault, as the same entry.
level::EntryView reread(const std::string& edited, const level::EntryView& entry) {
    const std::optional<level::EntryView> again = level::ViewEntryLine(edited);
    check(again && !again->fault && again->kind == entry.kind && again->head == entry.head &&
              again->option == entry.option && again->value == entry.value,
          "an edited row reads as the same entry");
    return *again;
}

// A coordinate an edit wrote: the whole number nearest to `meant`, exactly while NumberText
// writes all its digits; one beyond a double is written as INF, no number.
bool wholeCoordinate(std::optional<double> written, double meant) {
    const double whole = std::round(meant);
    if (!std::isfinite(whole))
        return true;
    return written && (std::fabs(whole) >= 1e15 || *written == whole);
}

// A heading an edit wrote: whole degrees from 0 to 359, within half a degree of `meant` (a
// turn of the circle aside) where `meant` is small enough to tell.
bool wholeHeading(std::optional<double> written, double meant) {
    if (!written || *written < 0 || *written > 359 || *written != std::floor(*written))
        return false;
    if (std::fabs(meant) > 1e9)
        return true;
    const double apart = std::fmod(std::fabs(*written - meant), 360.0);
    return std::min(apart, 360.0 - apart) <= 0.5 + 1e-6;
}

std::string_view otherTeam(std::string_view team) {
    const std::string_view number = trimmed(team);
    return number == "1" ? "2" : number == "2" ? "1" : number;
}

void checkEdits(const std::string& row, const EditValues& values) {
    using Problem = level::EntryEditProblem;
    const std::optional<level::EntryView> read = level::ViewEntryLine(row);
    const level::EntryView entry = read.value_or(level::EntryView{});
    const bool readable = read && !read->fault;
    const bool placed = readable && entry.xNumber && entry.yNumber;
    const bool ship = readable && entry.kind == level::EntryKind::Ship;

    const level::EntryEdit moved = level::MoveEntry(row, values.dx, values.dy);
    const bool movesOff = placed && (!std::isfinite(std::round(*entry.xNumber + values.dx)) ||
                                     !std::isfinite(std::round(*entry.yNumber + values.dy)));
    check(outcome(moved, {{!readable, Problem::NotAnEntry},
                          {!placed, Problem::NotANumber},
                          {movesOff, Problem::BeyondRange}}),
          "moving fails exactly for an entry without a place or moved beyond the numbers");
    if (moved) {
        const level::EntryView after = reread(*moved, entry);
        check(wholeCoordinate(after.xNumber, *entry.xNumber + values.dx) &&
                  wholeCoordinate(after.yNumber, *entry.yNumber + values.dy),
              "a moved entry stands at its place moved, rounded");
        check(after.r == entry.r && after.team == entry.team, "moving keeps heading and team");
    }

    const level::EntryEdit turned = level::TurnShip(row, values.degrees);
    check(outcome(turned, {{!readable, Problem::NotAnEntry},
                           {!ship, Problem::NotAShip},
                           {!entry.rNumber, Problem::NotANumber}}),
          "turning fails exactly for a ship without a heading");
    if (turned) {
        const level::EntryView after = reread(*turned, entry);
        check(wholeHeading(after.rNumber, *entry.rNumber + values.degrees),
              "a turned ship heads its heading turned, in whole degrees");
        check(after.x == entry.x && after.y == entry.y && after.team == entry.team,
              "turning keeps place and team");
    }

    const bool teamOfTwo = trimmed(entry.team) == "1" || trimmed(entry.team) == "2";
    const level::EntryEdit swapped = level::SwapShipTeam(row);
    check(outcome(swapped, {{!readable, Problem::NotAnEntry},
                            {!ship, Problem::NotAShip},
                            {!teamOfTwo, Problem::NoTeamToSwap}}),
          "swapping fails exactly for a ship of neither team");
    if (swapped) {
        const level::EntryView after = reread(*swapped, entry);
        check(trimmed(after.team) == otherTeam(entry.team) && after.x == entry.x &&
                  after.y == entry.y && after.r == entry.r,
              "swapping changes the team alone");
        const level::EntryEdit back = level::SwapShipTeam(*swapped);
        check(back && *back == row, "swapping twice gives the row back");
    }

    for (const level::MapPoint centre : values.centres) {
        for (const level::MirrorMode mode : {level::MirrorMode::Point, level::MirrorMode::LeftRight,
                                             level::MirrorMode::TopBottom}) {
            const level::EntryEdit mirrored = level::MirrorEntry(row, mode, centre);
            const bool onMirror =
                placed && level::OnMirror(mode, centre, {*entry.xNumber, *entry.yNumber});
            const level::MapPoint across =
                placed ? level::MirroredPoint(mode, centre, {*entry.xNumber, *entry.yNumber})
                       : level::MapPoint{};
            const bool mirrorsOff = !std::isfinite(across.x) || !std::isfinite(across.y);
            check(outcome(mirrored, {{!readable, Problem::NotAnEntry},
                                     {!placed, Problem::NotANumber},
                                     {onMirror, Problem::LandsOnItself},
                                     {mirrorsOff, Problem::BeyondRange}}),
                  "mirroring fails exactly for an entry without a place, on the mirror or "
                  "mirrored beyond the numbers");
            if (!mirrored)
                continue;
            const level::EntryView after = reread(*mirrored, entry);
            const bool acrossX = mode != level::MirrorMode::TopBottom;
            const bool acrossY = mode != level::MirrorMode::LeftRight;
            check(acrossX ? wholeCoordinate(after.xNumber, 2 * centre.x - *entry.xNumber)
                          : after.x == entry.x,
                  "a mirrored x is across the centre, or as it was");
            check(acrossY ? wholeCoordinate(after.yNumber, 2 * centre.y - *entry.yNumber)
                          : after.y == entry.y,
                  "a mirrored y is across the centre, or as it was");
            if (!ship)
                continue;
            check(trimmed(after.team) == otherTeam(entry.team),
                  "a mirrored ship is of the other team");
            if (!entry.rNumber) {
                check(after.r == entry.r, "a heading that is no number stays");
                continue;
            }
            const double r = *entry.rNumber;
            const double meant = mode == level::MirrorMode::Point       ? r + 180
                                 : mode == level::MirrorMode::LeftRight ? -r
                                                                        : 180 - r;
            check(wholeHeading(after.rNumber, meant), "a mirrored ship heads mirrored");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> rows = level::ParseLevelText(bytes);
    for (const std::string& row : rows)
        checkRow(row);
    checkTeams(rows, checkLevel(rows));

    FuzzedDataProvider values(data, size);
    const EditValues edits = editValues(values, rows);
    for (const std::string& row : rows)
        checkEdits(row, edits);
    checkShipRoundTrip(values);
    checkBaseRoundTrip(values);
    return 0;
}
