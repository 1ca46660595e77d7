#pragma once

#include <functional>
#include <string>
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

// The level map draws the entries whose x and y lie within ±MapCoordinateLimit; the check warns
// of the others.
inline constexpr double MapCoordinateLimit = 1e6;

struct Finding {
    enum class Severity {
        Error,   // the game will not load the level as meant
        Warning, // suspicious
    };
    int row = 0; // 1-based; 0 for the level as a whole
    Severity severity = Severity::Error;
    std::string message; // one English sentence without a final full stop
};

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

} // namespace level
