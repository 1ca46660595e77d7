#pragma once

#include "core/result.h"

#include <string>

namespace level {

// The level choice file levels/uselev.lst: one line, the chosen level file's name, CR LF,
// in Windows-1252. The game reads it to learn which level to play.

// start folder + "levels" + separator + "uselev.lst"
std::string LevelChoicePath(const std::string& startFolder);

// Writes levelName + CR LF as the whole content of the level choice file, atomically. The levels
// folder is never created: a missing one is an error. On failure nothing is written.
Result<void> WriteLevelChoiceFile(const std::string& startFolder, const std::string& levelName);

} // namespace level
