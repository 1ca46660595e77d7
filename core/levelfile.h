#pragma once

#include "core/fileerror.h"
#include "core/levellinelist.h"
#include "core/result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace level {

// Level files: one row per text line, Windows-1252 on disk, CR LF after every row.
// Reading takes whole lines; CR LF, a lone LF and a lone CR each end a line; a last line
// without a line end is a row; a final line end gives no extra empty row.

// The largest level file that is read at all: 32,767 rows of some 2,000 characters. A larger
// file is refused before anything of it is read.
inline constexpr std::size_t MaxLevelFileBytes = std::size_t{64} << 20;

// Splits file bytes into rows (decoded to UTF-8). Never fails.
std::vector<std::string> ParseLevelText(std::string_view bytes);

// A row that a level file cannot store: one holding a line break (it would come back as two rows)
// or a character that Windows-1252 cannot represent.
struct UnstorableRow {
    std::size_t row = 0;               // 1-based
    std::optional<char32_t> character; // the character, or nothing for a line break
    // "row 3 holds "Ω" (U+03A9), which a level file cannot store"
    std::string Reason() const;
};

// Turns rows into the file's bytes, or names the first row that cannot be stored.
Result<std::string, UnstorableRow> FormatLevelText(const std::vector<std::string>& rows);
// Whether a level file can store the row; number: its 1-based number in the level, for the reason.
Result<void, UnstorableRow> CheckStorableRow(std::string_view row, std::size_t number);

// Reads the whole file first; only when that succeeded (a regular file of at most 64 MiB and
// 32,767 lines) the list's rows are replaced and no row is selected. On failure, also for want of
// memory, the list is exactly as before. bytesRead, when given, receives the file's bytes.
Result<void> LoadLevelFile(const std::string& path, LevelLineList& list,
                           std::string* bytesRead = nullptr);

// Writes every row of the list to path, replacing the file in one step (see WriteFileAtomically).
// On failure the old file is untouched. The list is not changed. bytesWritten, when given,
// receives the bytes written.
Result<void> SaveLevelFile(const std::string& path, const LevelLineList& list,
                           std::string* bytesWritten = nullptr);

} // namespace level
