#include "core/diskfiles.h"
#include "core/levelfile.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

class LevelFileOnDisk : public TempFolderTest {
protected:
    static level::LevelLineList listOf(const Rows& rows,
                                       level::LevelLineList::Index selected = -1) {
        level::LevelLineList list;
        EXPECT_TRUE(list.ReplaceLines(rows));
        list.SelectLine(selected);
        return list;
    }

    // Builds n CR LF lines "line 0", "line 1", ...
    static std::string manyLines(int n) {
        std::string bytes;
        for (int i = 0; i < n; ++i)
            bytes += "line " + std::to_string(i) + "\r\n";
        return bytes;
    }
};

} // namespace

TEST(LevelTextFormat, EveryRowEndsInCrLf) {
    struct Case {
        Rows rows;
        std::string bytes;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"}, "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n"},
        {{"[shipfiles]", "", "[end]"}, "[shipfiles]\r\n\r\n[end]\r\n"},
        {{"Größe €"},
         "Gr\xF6\xDF"
         "e \x80\r\n"},
        {{"a,b", "\"q\"", "  blanks  "}, "a,b\r\n\"q\"\r\n  blanks  \r\n"},
    };
    for (const Case& c : cases) {
        const auto result = level::FormatLevelText(c.rows);
        ASSERT_TRUE(result) << result.error().Reason();
        EXPECT_EQ(*result, c.bytes);
    }
}

TEST(LevelTextFormat, UnrepresentableCharacterRefusesAllRowsNamingRowAndCharacter) {
    const auto result = level::FormatLevelText({"ADD SHIP", "", "x Ω y", "ä€"});
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().Reason(),
              "row 3 holds \"Ω\" (U+03A9), which a level file cannot store");

    const auto emoji = level::FormatLevelText({"ship😀"});
    ASSERT_FALSE(emoji);
    EXPECT_EQ(emoji.error().Reason(),
              "row 1 holds \"😀\" (U+1F600), which a level file cannot store");
}

TEST(LevelTextFormat, LineBreakInsideARowIsRefused) {
    // Written out, it would come back as two rows.
    for (const std::string row : {"a\nb", "a\r", "\r\n"}) {
        const auto result = level::FormatLevelText({"first", row});
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().Reason(),
                  "row 2 holds a line break, which a level file cannot store");
    }
}

TEST(LevelTextParse, WholeLinesWithEveryKindOfLineEnd) {
    struct Case {
        const char* name;
        std::string bytes;
        Rows rows;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"one empty line", "\r\n", {""}},
        {"comma stays in the row",
         "r=22,5\r\nADD BASE  x=0, y=0\r\n",
         {"r=22,5", "ADD BASE  x=0, y=0"}},
        {"trailing comma", "a,\r\n", {"a,"}},
        {"quotes stay", "\"quoted\"\r\nfile=\"a b\".bs\r\n", {"\"quoted\"", "file=\"a b\".bs"}},
        {"blanks stay",
         "  lead\r\ntrail  \r\n \r\n\tTab\t\r\n",
         {"  lead", "trail  ", " ", "\tTab\t"}},
        {"last line without line end", "a\r\nb", {"a", "b"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"lone CR at the end", "a\r", {"a"}},
        {"CR then CR LF", "a\r\r\n", {"a", ""}},
        {"LF then CR", "a\n\r", {"a", ""}},
        {"empty lines", "\n\n\r\n\r", {"", "", "", ""}},
        {"middle row empty", "x\r\n\r\ny\r\n", {"x", "", "y"}},
        {"Windows-1252 decoded", "\xE4\x80\r\nok", {"ä€", "ok"}},
        {"NUL is an ordinary character", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(level::ParseLevelText(c.bytes), c.rows) << c.name;
}

TEST(LevelTextParse, EveryByteButLineEndsRoundTripsInOneRow) {
    std::string line;
    for (unsigned byte = 0; byte < 256; ++byte)
        if (byte != '\r' && byte != '\n')
            line += static_cast<char>(byte);
    const std::string file = line + "\r\n" + line + "\r\n";
    const Rows rows = level::ParseLevelText(file);
    ASSERT_EQ(rows.size(), 2u);
    const auto back = level::FormatLevelText(rows);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, file);
}

TEST_F(LevelFileOnDisk, SaveWritesExactBytesAndLoadGivesTheRowsBack) {
    const Rows rows{"ADD SHIP x= 120 y=-45 r=90 team=2 typ=12",
                    "",
                    "  r=22,5 \"q\" ",
                    "[winfile]",
                    "Größe €.win",
                    "[end]"};
    const std::string file = path("a.lev");
    ASSERT_TRUE(level::SaveLevelFile(file, listOf(rows)));
    EXPECT_EQ(readBytes(file), "ADD SHIP x= 120 y=-45 r=90 team=2 typ=12\r\n\r\n  r=22,5 \"q\" \r\n"
                               "[winfile]\r\nGr\xF6\xDF"
                               "e \x80.win\r\n[end]\r\n");

    level::LevelLineList loaded = listOf({"old"}, 0);
    ASSERT_TRUE(level::LoadLevelFile(file, loaded));
    EXPECT_EQ(loaded.Lines(), rows);
    EXPECT_EQ(loaded.SelectedIndex(), -1);
}

TEST_F(LevelFileOnDisk, EmptyListSavesZeroBytesAndLoadsEmpty) {
    const std::string file = path("empty.lev");
    writeBytes(file, "old content\r\n");
    ASSERT_TRUE(level::SaveLevelFile(file, level::LevelLineList()));
    EXPECT_EQ(fs::file_size(file), 0u);
    level::LevelLineList loaded = listOf({"x"});
    ASSERT_TRUE(level::LoadLevelFile(file, loaded));
    EXPECT_EQ(loaded.LineCount(), 0);
}

TEST_F(LevelFileOnDisk, FailedLoadKeepsRowsAndSelection) {
    fs::create_directory(path("folder.lev"));
    writeBytes(path("toolong.lev"), manyLines(32768));
    writeBytes(path("emptylines.lev"), std::string(32768, '\n'));
    writeBytes(path("huge.lev"), "");
    fs::resize_file(path("huge.lev"),
                    level::MaxLevelFileBytes + 1); // sparse: nothing to read but zeros
    struct Case {
        std::string file;
        std::string reason;
    };
    const auto systemText = [](int error) { return std::generic_category().message(error); };
    const Case cases[] = {
        {path("missing.lev"), systemText(ENOENT)},
        {path("nofolder/a.lev"), systemText(ENOENT)},
        {path("folder.lev"), systemText(EISDIR)},
        {path("toolong.lev"), "the file has more than 32,767 lines, more than a level can hold"},
        {path("emptylines.lev"), "the file has more than 32,767 lines, more than a level can hold"},
        {path("huge.lev"), "the file is larger than 64 MiB, the most a level file may be"},
    };
    for (const Case& c : cases) {
        level::LevelLineList list = listOf({"one", "two", "three"}, 1);
        const auto error = level::LoadLevelFile(c.file, list);
        ASSERT_FALSE(error) << c.file;
        EXPECT_EQ(error.error().action, "load");
        EXPECT_EQ(error.error().path, c.file);
        EXPECT_EQ(error.error().reason, c.reason);
        EXPECT_EQ(list.Lines(), (Rows{"one", "two", "three"}));
        EXPECT_EQ(list.SelectedIndex(), 1);
    }
}

TEST_F(LevelFileOnDisk, FullestLevelLoads) {
    // 32,767 lines with and without a final line end; neither may count as one row more.
    for (const bool finalLineEnd : {true, false}) {
        std::string bytes = manyLines(32767);
        if (!finalLineEnd)
            bytes.resize(bytes.size() - 2);
        writeBytes(path("full.lev"), bytes);
        level::LevelLineList list;
        ASSERT_TRUE(level::LoadLevelFile(path("full.lev"), list));
        ASSERT_EQ(list.LineCount(), 32767);
        EXPECT_EQ(list.LineAt(32766), "line 32766");
    }
}

TEST_F(LevelFileOnDisk, RefusedSaveNamesRowAndCharacterAndKeepsTheOldFile) {
    const std::string file = path("a.lev");
    writeBytes(file, "old\r\n");
    const auto error = level::SaveLevelFile(file, listOf({"ok", "ok", "x Ω"}));
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().action, "save");
    EXPECT_EQ(error.error().path, file);
    EXPECT_EQ(error.error().reason, "row 3 holds \"Ω\" (U+03A9), which a level file cannot store");
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(entries(), (std::vector<std::string>{"a.lev"}));
}

TEST_F(LevelFileOnDisk, FailedSaveKeepsTheOldFileAndTheList) {
    const std::string file = path("ro.lev");
    writeBytes(file, "old\r\n");
    fs::permissions(file, fs::perms(0444));
    const level::LevelLineList list = listOf({"new"}, 0);
    const auto error = level::SaveLevelFile(file, list);
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().Message(), "cannot save " + file + ": the file is read-only");
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(list.Lines(), Rows{"new"});
    EXPECT_EQ(entries(), (std::vector<std::string>{"ro.lev"}));
}
