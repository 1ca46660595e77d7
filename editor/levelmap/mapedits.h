#pragma once

#include "core/entryedit.h"
#include "editor/document/leveldocument.h"

#include <optional>
#include <string>
#include <vector>

namespace editor::mapedits {

// The level map's edits as operations on the level document: each takes the rows to edit (the
// map's selection) and its values, makes one step of the history (none when nothing changes)
// and says what it did, for the note beside the map's tools. Rows that are no entries are left
// alone.

using Index = LevelDocument::Index;
using Rows = std::vector<Index>;

struct Outcome {
    int changed = 0;    // rows rewritten, removed or added
    int notShips = 0;   // bases, which have no heading or team
    int notNumbers = 0; // ships whose heading is not a number: kept
    int noTeam = 0;     // ships of a team other than 1 and 2: kept
    int beyond = 0;     // x or y would be beyond the range of numbers: refused
    int skipped = 0;    // on the mirror's centre or line, where a copy would land on the entry
    enum class Refusal {
        None,
        NoMemory,    // nothing changed
        TooManyRows, // the new rows would make more than a level holds; nothing changed
    };
    Refusal refused = Refusal::None;
};

// Moves the entries by whole units (dx, dy); a held key's steps merge (kind, continues).
Outcome move(LevelDocument& document, const Rows& rows, double dx, double dy,
             MergeKind kind = MergeKind::None, bool continues = false);
// Turns the ships by degrees, counter-clockwise when positive.
Outcome turn(LevelDocument& document, const Rows& rows, int degrees, bool held = false);
// Swaps the ships' team, 1 and 2.
Outcome swapTeam(LevelDocument& document, const Rows& rows);
// Removes the rows.
Outcome remove(LevelDocument& document, const Rows& rows);
// Appends a ship or base line (a placed entry) and chooses it.
Outcome place(LevelDocument& document, std::string line, bool base);
// Appends a copy of each entry for the other team, mirrored about centre, and chooses the
// copies; the step is named after the rows copied.
Outcome mirror(LevelDocument& document, const Rows& rows, level::MirrorMode mode,
               level::MapPoint centre);
// Appends rows (pasted, or duplicated) and chooses them, the first current. The entries among
// them move by one offset, in whole units, keeping their layout and every other byte: with at,
// so that the middle of their box lands there; otherwise by offset (0, 0: where they stand).
// Rows that are no entries go in unchanged. refused: more rows than a level holds, no memory.
Outcome paste(LevelDocument& document, std::vector<std::string> rows,
              std::optional<level::MapPoint> at, level::MapPoint offset = {},
              bool duplicate = false);

// The middle of the bases' box, for "centre on bases"; nothing without a base.
std::optional<level::MapPoint> basesCentre(const LevelDocument& document);

} // namespace editor::mapedits
