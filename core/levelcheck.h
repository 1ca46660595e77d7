#pragma once

#include "core/entryedit.h"
#include "core/entrylines.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace level {

// Checking a level's rows for what the game would not load as meant.

// Whether a file name is in the game folder.
enum class FilePresence {
    Exists,
    OtherCase, // only a name that differs in letter case (ASCII) is there
    Missing,
};

// Asked once per distinct file name; the name is passed exactly as it stands in the level.
using FileLookup = std::function<FilePresence(const std::string& name)>;

struct Finding {
    enum class Severity {
        Error,   // the game will not load the level as meant
        Warning, // suspicious
        Note,    // a fact that may well be meant, such as teams of different ships
    };
    int row = 0; // 1-based; 0 for the level as a whole
    Severity severity = Severity::Error;
    std::string message; // one English sentence without a final full stop
    // What was found, a stable name for programs that read the findings: one of FindingRules.
    std::string rule;
};

// A rule that findings name, the severity of its findings, and what it finds.
struct FindingRule {
    std::string_view id;
    Finding::Severity severity;
    std::string_view description; // a phrase without a capital or a final full stop
};

// Every rule, CheckLevel's first, then those of CheckLevelAndTeams.
inline constexpr std::array<FindingRule, 17> FindingRules{{
    {"open-block", Finding::Severity::Error, "a block not closed by [end]"},
    {"stray-end", Finding::Severity::Error, "an [end] that closes no block"},
    {"no-file-name", Finding::Severity::Error,
     "a block's row or an entry's file= that names no file"},
    {"missing-file", Finding::Severity::Error, "a file that is not in the game folder"},
    {"file-case", Finding::Severity::Warning, "a file that is there only in other letter case"},
    {"blank-row", Finding::Severity::Error, "a row of blanks only, outside blocks"},
    {"unknown-row", Finding::Severity::Error,
     "a row that is neither an entry, a section marker nor empty"},
    {"missing-field", Finding::Severity::Error, "an entry lacks a field"},
    {"field-order", Finding::Severity::Error, "an entry's field stands before the one it follows"},
    {"text-before-x", Finding::Severity::Error, "an entry has other text than blanks before x="},
    {"not-a-number", Finding::Severity::Error, "an entry's x= or y= is not a number"},
    {"unknown-team", Finding::Severity::Warning, "a ship's team is neither 1 nor 2"},
    {"type-beyond", Finding::Severity::Warning,
     "typ= asks for more ship files than the level lists"},
    {"no-winfile", Finding::Severity::Warning, "the level has no [winfile] block"},
    {"far-off", Finding::Severity::Warning,
     "an x or y beyond \u00b11,000,000, which the level map does not show"},
    {"team-tally", Finding::Severity::Note, "one team has fewer ships of a kind than the other"},
    {"no-mirror", Finding::Severity::Warning,
     "in a nearly symmetric level, a ship that no ship of the other team mirrors"},
}};

// The findings for the rows of a level (UTF-8), ordered by row; findings of one row keep the
// order in which they are listed here.
//
// Section blocks: "[shipfiles]" or "[winfile]" opens a block, "[end]" closes it (markers match
// exactly). A block still open at the next opening marker or at the end of the level is an
// error on its opening row; an "[end]" with no open block is an error. Every other row inside a
// block names one file, exactly as written: a row that is empty or only blanks names none
// (error), a name missing from the game folder is an error, one there only in other letter
// case a warning.
//
// Outside blocks a row must be empty, a ship entry or a base entry (see ParseEntryLine); any
// other row, a blank-only one too, is an error. In an entry, a lacking or misplaced field and
// an x or y that is not a number are errors; the file of a ship's file= or of a base is looked
// up like a block's file; a team other than exactly "1" or "2" is a warning, and so is each x or y
// beyond ±MapCoordinateLimit.
//
// typ=n is a warning when n is a whole number greater than the number of ship files of the
// level: the rows of all [shipfiles] blocks of the whole level counted together, wherever they
// stand, blocks that lack their [end] included, and rows that name no file too (the game
// counts lines). A level without any [shipfiles] block lists no ship files, and its types are
// not checked.
//
// A level without any "[winfile]" row gets a warning on row 0.
std::vector<Finding> CheckLevel(const std::vector<std::string>& rows, const FileLookup& fileExists);

// The ships of the two teams by kind, and the bases, of a level. A ship counts for team 1 or 2
// when its team= is exactly "1" or "2" and its fields can be read; its kind is its last
// field's key and value as written (typ=1, sl=4, file=fighter.shp). Bases have no team.
struct TeamTally {
    struct Kind {
        ShipOption option = ShipOption::Type;
        std::string value;
        int ships = 0;
        bool operator==(const Kind&) const = default;
    };
    struct Team {
        int ships = 0;
        // Types first, then ship levels, each by number, then files by name.
        std::vector<Kind> kinds;
        bool operator==(const Team&) const = default;
    };
    std::array<Team, 2> teams; // team 1, team 2
    int bases = 0;
    bool operator==(const TeamTally&) const = default;
};

// A kind as the tally shows it: "typ 1", "sl 4", "fighter.shp".
std::string ShipKindText(ShipOption option, std::string_view value);

// "team 1: 12 ships (typ 1 ×8, fighter.shp ×4) · team 2: 11 ships (typ 1 ×8, …) · 2 bases".
std::string TallyText(const TeamTally& tally);

// The findings of a level and the tally of its teams.
struct LevelReport {
    std::vector<Finding> findings;
    TeamTally tally;
};

// CheckLevel's findings, followed by those on the teams:
// - team-tally, on row 0: one note for each kind of which one team has fewer ships than the
//   other ("team 2 has one typ 1 ship fewer than team 1"), as a level may be unfair on purpose;
// - no-mirror, by row: when the level is nearly symmetric, a warning for each ship that no ship
//   of the other team mirrors ("no ship of team 2 mirrors this one (left↔right about x = 1000)").
//   A ship of team 1 or 2 whose x and y are numbers is mirrored by a ship of the other team and
//   the same kind that stands within 1 unit of its mirrored position, with a heading within 1°
//   of its mirrored heading (headings that are not numbers: the same text). The level is nearly
//   symmetric when at least four fifths of its ships are mirrored in one mode (point,
//   left-right, top-bottom) about one centre. The centres tried: the middle of the entries the
//   map draws (MapCentre, as the map's mirror centre), the middle of the bases, each in every
//   mode, and the centres that pairs of ships vote for: a few ships of team 1, spread over the
//   rows, each paired with every ship of team 2 of its kind, vote for the centre about which the
//   two would mirror each other; the four most voted of each mode are tried. Of these the one
//   that mirrors the most ships is taken, ties going to the earlier in that order; in a level of
//   more than 512 placed ships of the two teams, the ships of a sample of 512 are counted to
//   choose it.
LevelReport CheckLevelAndTeams(const std::vector<std::string>& rows, const FileLookup& fileExists);

} // namespace level
