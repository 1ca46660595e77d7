#pragma once

#include "core/levellinelist.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace editor {

// What the editor says when the level refuses rows, the same in every window.

// One line appended to a level of count rows: the level is full, or no memory is left.
QString appendRefusal(level::LevelLineList::Index count, const QString& line);
// Rows appended to a level of count rows (what: "mirrored copies"; done: "Nothing was mirrored").
QString rowsRefusal(level::LevelLineList::Index count, int adding, const QString& what,
                    const QString& done);

// Why rows cannot be pasted into a level of count rows (the first holding a character a level
// file cannot store, named by its line; more rows than a level holds); nothing when they can.
std::optional<QString> pasteRefusal(const std::vector<std::string>& rows,
                                    level::LevelLineList::Index count);

} // namespace editor
