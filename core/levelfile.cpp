#include "core/levelfile.h"

#include "core/diskfiles.h"
#include "core/windows1252.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace level {

namespace {

// Position of the first byte c at or after from, or the text's size when there is none.
std::size_t findByte(std::string_view text, char c, std::size_t from) {
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : text.size();
}

// Splits bytes into at most maxRows rows (one more than a caller accepts tells it "too many").
std::vector<std::string> splitRows(std::string_view bytes, std::size_t maxRows) {
    std::vector<std::string> rows;
    const std::size_t size = bytes.size();
    if (size == 0)
        return rows;
    // Level lines are some 30 to 50 characters long; a good guess saves most regrowth.
    rows.reserve(std::min(maxRows, size / 24 + 1));

    // The next CR and the next LF are remembered, so that a file using only one kind of line
    // end is not searched for the other kind again on every line.
    std::size_t nextCr = findByte(bytes, '\r', 0);
    std::size_t nextLf = findByte(bytes, '\n', 0);
    std::size_t pos = 0;
    while (pos < size && rows.size() < maxRows) {
        if (nextCr < pos)
            nextCr = findByte(bytes, '\r', pos);
        if (nextLf < pos)
            nextLf = findByte(bytes, '\n', pos);
        const std::size_t end = std::min(nextCr, nextLf);
        rows.push_back(DecodeWindows1252(bytes.substr(pos, end - pos)));
        if (end == size)
            break; // the last line has no line end
        pos = end + 1;
        if (bytes[end] == '\r' && pos < size && bytes[pos] == '\n')
            ++pos;
    }
    return rows;
}

constexpr std::size_t maxRows = static_cast<std::size_t>(LevelLineList::MaxRows);

} // namespace

std::vector<std::string> ParseLevelText(std::string_view bytes) {
    return splitRows(bytes, bytes.size() + 1);
}

std::string UnstorableRow::Reason() const {
    const std::string what = character ? DescribeCharacter(*character) : "a line break";
    return "row " + std::to_string(row) + " holds " + what + ", which a level file cannot store";
}

namespace {

// Appends a row and its line end to a file's bytes, or names it when it cannot be stored.
Result<void, UnstorableRow> appendRow(std::string_view row, std::size_t number,
                                      std::string& bytes) {
    // A line end inside a row would come back as two rows.
    if (std::memchr(row.data(), '\n', row.size()) || std::memchr(row.data(), '\r', row.size()))
        return UnstorableRow{number, std::nullopt};
    if (auto appended = AppendWindows1252(row, bytes); !appended)
        return UnstorableRow{number, appended.error().character};
    bytes += "\r\n";
    return {};
}

} // namespace

Result<std::string, UnstorableRow> FormatLevelText(const std::vector<std::string>& rows) {
    std::size_t total = 0;
    for (const auto& row : rows)
        total += row.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (auto appended = appendRow(rows[i], i + 1, bytes); !appended)
            return appended.error();
    return bytes;
}

Result<void, UnstorableRow> CheckStorableRow(std::string_view row, std::size_t number) {
    std::string bytes;
    bytes.reserve(row.size() + 2);
    return appendRow(row, number, bytes);
}

Result<void> LoadLevelFile(const std::string& path, LevelLineList& list, std::string* bytesRead) {
    static constexpr ReadLimits levelLimits{
        MaxLevelFileBytes, "the file is larger than 64 MiB, the most a level file may be", maxRows,
        "the file has more than 32,767 lines, more than a level can hold"};
    try {
        auto bytes = ReadWholeFile(path, levelLimits);
        if (!bytes) {
            FileError error = bytes.error();
            error.action = "load";
            return error;
        }
        std::vector<std::string> rows = splitRows(*bytes, maxRows + 1);
        if (rows.size() > maxRows || !list.ReplaceLines(std::move(rows)))
            return FileError{"load", path, levelLimits.tooManyLines};
        if (bytesRead)
            *bytesRead = std::move(*bytes);
        return {};
    } catch (const std::bad_alloc&) {
        return FileError{"load", path, "not enough memory"};
    }
}

Result<void> SaveLevelFile(const std::string& path, const LevelLineList& list,
                           std::string* bytesWritten) {
    try {
        auto text = FormatLevelText(list.Lines());
        if (!text)
            return FileError{"save", path, text.error().Reason()};
        auto written = WriteFileAtomically(path, *text, "save");
        if (written && bytesWritten)
            *bytesWritten = std::move(*text);
        return written;
    } catch (const std::bad_alloc&) {
        return FileError{"save", path, "not enough memory"};
    }
}

} // namespace level
