#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace level {

// Rows as plain text, the way the clipboard carries them between the editor and other programs,
// and the search of the editor's find field. Texts are UTF-8.

// The rows in their order, each followed by a line end (LF; the clipboard gives each platform
// its own).
std::string RowsAsText(const std::vector<std::string>& rows);
// A text's lines as rows, taken as they stand (no trimming): CR LF, a lone LF and a lone CR each
// end a line, a last line without a line end is a row, and a final line end gives no extra row.
std::vector<std::string> TextAsRows(std::string_view text);

// Whether row holds text, A to Z matched in either case (other characters exactly).
bool RowContains(std::string_view row, std::string_view text);
// The next row from `from` on (from itself included) that holds text, going down (or up when
// backwards) and round past the end; -1 for none (or an empty text).
int FindRow(const std::vector<std::string>& rows, std::string_view text, int from,
            bool backwards = false);

} // namespace level
