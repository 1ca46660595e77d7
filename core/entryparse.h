#pragma once

#include "core/entrylines.h"

#include <optional>
#include <string>
#include <string_view>

namespace level {

// Reading ship and base entry lines back into their fields.
//
// A row is an entry when it starts with the head words "ADD SHIP" or "ADD BASE" followed by a
// blank or the end of the row (exact letter case). Its fields are then found by their keys in
// their fixed order:
//   ship: " x=", " y=", " r=", " team=", then the first of " file=", " typ=", " sl="
//   base: " x=", " y=", " file="
// Each key is taken at its first occurrence after the previous key (the first key after the
// head words); a value is the text between its key and the next key, and the last value runs
// to the end of the row. Only blanks may stand between the head words and " x=" (the base
// head "ADD BASE " brings one).
//
// So build then parse gives back the built values whenever no value contains the key that
// follows it (a base x of "1 y=2" would be cut at " y="; a ship's team must hold none of the
// three option keys); the last value may hold anything.
// Conversely, rebuilding a row from the fields of a parse without fault gives the row back.

enum class EntryKind { Ship, Base };

// Why an entry's fields could not be read. `field` and `before` are keys without their
// leading blank ("y=", "team="); for the ship's last field `field` is "file=, typ= or sl=".
struct EntryFault {
    enum class Kind {
        MissingField, // the key occurs nowhere after the head words
        OutOfOrder,   // the key occurs, but only before the key `before`
        TextBeforeX,  // something other than blanks stands between the head words and "x="
    };
    Kind kind = Kind::MissingField;
    std::string field;
    std::string before; // OutOfOrder only

    // A phrase to follow "the ship entry" or "the base entry": "lacks the field y=".
    std::string Describe() const;
};

// The fields of one entry line, as texts the way they stand in the row: owned copies
// (ParsedEntry) or views into the row (EntryView). When `fault` is set, only `kind` is filled
// in besides it.
template <class Text> struct BasicEntry {
    EntryKind kind = EntryKind::Ship;
    Text head; // the text before " x=": "ADD SHIP", "ADD BASE "
    Text x;    // ships: with NumberText's sign column (" 100", "-20")
    Text y;
    Text r;                               // ships only
    Text team;                            // ships only
    ShipOption option = ShipOption::Type; // ships only
    Text value; // ships: the file name, type or level code; bases: the file

    // x, y and r (ships only) read with ReadNumber and "." as separator, where they are numbers.
    std::optional<double> xNumber;
    std::optional<double> yNumber;
    std::optional<double> rNumber;

    std::optional<EntryFault> fault;
};
using ParsedEntry = BasicEntry<std::string>;
using EntryView = BasicEntry<std::string_view>;

// The key text of a ship option without its blank: "file=", "typ=", "sl=".
std::string_view ShipOptionKey(ShipOption option);

// The entry in a row, or nothing when the row is not an entry.
std::optional<ParsedEntry> ParseEntryLine(std::string_view line);
// The same without copying the texts: the views point into `line`.
std::optional<EntryView> ViewEntryLine(std::string_view line);

} // namespace level
