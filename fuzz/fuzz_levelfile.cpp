// Feeds arbitrary bytes to the level file reader and writer.
//  - Any byte string parses.
//  - Parsed rows always format (decoding yields only characters Windows-1252 can hold, and no
//    line ends), and formatting then parsing gives the same rows back; a second format gives
//    the same bytes.
//  - Decoding then encoding gives back the bytes; encoding arbitrary text never crashes and,
//    when it succeeds, decodes back to that text.
//  - Replacing a list's rows takes them, and at most 32,767 rows; a refusal changes nothing.
//  - The whole load path: the bytes written to a file and loaded with LoadLevelFile give the
//    rows that parsing gives, or, beyond 32,767 lines, a refusal that leaves the list as it was.
#include "core/levelfile.h"
#include "core/levellinelist.h"
#include "core/windows1252.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Replaces the rows of a list that holds two rows, the second selected: accepted up to the
// limit (rows in, nothing selected), refused beyond it (list as it was).
void checkReplaceLines(std::vector<std::string> rows) {
    level::LevelLineList list;
    check(list.AddLine("before"), "add to an empty list");
    check(list.AddLine("kept"), "add a second row");
    list.SelectLine(1);

    const std::vector<std::string> expected = rows;
    const bool accepted = list.ReplaceLines(std::move(rows));
    check(accepted == (expected.size() <= static_cast<std::size_t>(level::LevelLineList::MaxRows)),
          "ReplaceLines accepts exactly up to the limit");
    if (accepted) {
        check(list.Lines() == expected, "rows after replace");
        check(list.SelectedIndex() == level::LevelLineList::NoRow, "no selection after replace");
    } else {
        check(list.LineCount() == 2 && list.LineAt(1) == "kept", "refused replace kept rows");
        check(list.SelectedIndex() == 1, "refused replace kept selection");
    }
}

// The file this process loads its inputs from, in the system's temporary folder.
const std::string& scratchFile() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string file = std::string(folder && *folder ? folder : "/tmp") + "/fuzz_levelfile-" +
                           std::to_string(std::random_device()()) + ".lev";
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return file;
    }();
    return path;
}

void checkLoad(std::string_view bytes, const std::vector<std::string>& parsed) {
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        check(out.good(), "the input is written to a file");
    }
    level::LevelLineList list;
    check(list.AddLine("before"), "add to an empty list");
    const auto loaded = level::LoadLevelFile(scratchFile(), list);
    if (parsed.size() <= static_cast<std::size_t>(level::LevelLineList::MaxRows)) {
        check(loaded.ok(), "a level file within the limits loads");
        check(list.Lines() == parsed, "loading gives the rows that parsing gives");
    } else {
        check(!loaded.ok(), "a level file of too many lines is refused");
        check(list.LineCount() == 1 && list.LineAt(0) == "before", "a refused load keeps the list");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> rows = level::ParseLevelText(bytes);
    check(rows.size() <= size, "no more rows than bytes");
    for (const std::string& row : rows)
        check(row.find_first_of("\r\n") == std::string::npos, "no line end inside a row");

    const auto text = level::FormatLevelText(rows);
    check(text.ok(), "parsed rows always format");
    check(level::ParseLevelText(*text) == rows, "format then parse gives the same rows");
    const auto again = level::FormatLevelText(level::ParseLevelText(*text));
    check(again.ok() && *again == *text, "a formatted file formats to itself");

    const std::string decoded = level::DecodeWindows1252(bytes);
    const auto encoded = level::EncodeWindows1252(decoded);
    check(encoded.ok() && *encoded == bytes, "decode then encode gives the bytes back");

    const auto direct = level::EncodeWindows1252(bytes);
    if (direct)
        check(level::DecodeWindows1252(*direct) == bytes, "encode then decode gives the text back");
    else
        check(direct.error().index < size &&
                  !level::DescribeCharacter(direct.error().character).empty(),
              "a refused character lies inside the text");

    checkLoad(bytes, rows);
    checkReplaceLines(rows);
    return 0;
}

// Inputs of the fuzzer stay far below the row limit, so the limit itself is checked once here.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (std::size_t count = level::LevelLineList::MaxRows - 1;
         count <= level::LevelLineList::MaxRows + 1u; ++count)
        checkReplaceLines(std::vector<std::string>(count, "ADD SHIP"));
    return 0;
}
