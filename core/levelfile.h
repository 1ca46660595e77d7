#pragma once

#include "fileerror.h"
#include "levellinelist.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Level files: one row per text line, Windows-1252 on disk, CR LF after every row.
// Reading takes whole lines; CR LF, a lone LF and a lone CR each end a line; a last line
// without a line end is a row; a final line end gives no extra empty row.

// Splits file bytes into rows (decoded to UTF-8). Never fails.
std::vector<std::string> ParseLevelText(std::string_view bytes);

// The outcome of turning rows into file bytes.
struct LevelTextResult {
    std::string bytes;                // the file's bytes, when error is empty
    std::optional<std::string> error; // why the rows cannot be written, naming the row (1-based)
                                      // and the character Windows-1252 cannot represent
};
LevelTextResult FormatLevelText(const std::vector<std::string>& rows);

// Reads the whole file first; only when that succeeded (and it has at most 32,767 lines) the
// list's rows are replaced and no row is selected. On failure the list is exactly as before.
std::optional<FileError> LoadLevelFile(const std::string& path, LevelLineList& list);

// Writes every row of the list to path, replacing the file in one step (see WriteFileAtomically).
// On failure the old file is untouched. The list is not changed.
std::optional<FileError> SaveLevelFile(const std::string& path, const LevelLineList& list);
