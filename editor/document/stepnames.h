#pragma once

#include "core/levellinelist.h"

#include <QString>

#include <vector>

namespace editor {

// The names of the history's steps, as the menu shows them after "Undo" and "Redo", all made
// here. Rows are named by their numbers from 1.
namespace stepnames {

using Index = level::LevelLineList::Index;

// Rows appended by the panels and the map.
enum class Added { Row, Ship, Base, EmptyRow, PlacedShip, PlacedBase };
QString added(Added what); // "add ship", "place base" ...
// A section panel's line: "add [winfile]", a long one cut short.
QString addedLine(const QString& line);
// A step on rows: "delete row 12" for one row, "delete 3 entries" for more (things: "entries").
QString onRows(const QString& verb, const std::vector<Index>& rows, const QString& things);
QString deleted(const std::vector<Index>& rows, const QString& things);
QString moved(Index row, bool up);             // "move row 3 up"
QString movedRows(std::size_t count, bool up); // "move 3 rows up"
QString edited(Index row);                     // "edit row 3"
QString pasted(std::size_t count);             // "paste 3 rows"
QString duplicated(std::size_t count);         // "duplicate 3 rows"
QString cleared(Index count);                  // "clear 5 rows"
QString loaded(const QString& file);
QString restored(const QString& level); // the rows of a recovery file
QString replacedAll();

} // namespace stepnames

} // namespace editor
