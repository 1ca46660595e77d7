#include "core/diskfiles.h"
#include "core/levelchoice.h"
#include "core/startfolder.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A start folder of its own, with or without its levels folder.
class LevelChoiceFile : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_start = m_game.startFolder();
        m_choice = level::JoinPath(path("levels"), "uselev.lst");
    }

    void makeLevelsFolder() const { ASSERT_TRUE(fs::create_directory(path("levels"))); }
    std::size_t entriesInLevels() const { return entries(path("levels")).size(); }

    std::string m_start;
    std::string m_choice;
};

} // namespace

TEST_F(LevelChoiceFile, PathIsUnderTheLevelsFolder) {
#ifdef _WIN32
    EXPECT_EQ(level::LevelChoicePath("C:\\game\\"), "C:\\game\\levels\\uselev.lst");
    EXPECT_EQ(level::LevelChoicePath("C:\\"), "C:\\levels\\uselev.lst");
#else
    EXPECT_EQ(level::LevelChoicePath("/game/"), "/game/levels/uselev.lst");
    EXPECT_EQ(level::LevelChoicePath("/"), "/levels/uselev.lst");
#endif
}

TEST_F(LevelChoiceFile, HoldsExactlyOneLineThatEachWriteReplaces) {
    makeLevelsFolder();
    struct Case {
        std::string name;
        std::string bytes;
    };
    const Case cases[] = {
        {"a-rather-long-level-name.lev", "a-rather-long-level-name.lev\r\n"},
        {"level1.lev", "level1.lev\r\n"},
        {"ä.lev", "\xE4.lev\r\n"},
        {" blank, comma.lev", " blank, comma.lev\r\n"},
        {"", "\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(level::WriteLevelChoiceFile(m_start, c.name)) << c.name;
        EXPECT_EQ(readBytes(m_choice), c.bytes);
        EXPECT_EQ(entriesInLevels(), 1u);
    }
}

TEST_F(LevelChoiceFile, MissingLevelsFolderIsNotCreated) {
    const auto error = level::WriteLevelChoiceFile(m_start, "level1.lev");
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().path, m_choice);
    EXPECT_EQ(error.error().reason, "the levels folder does not exist");
    EXPECT_FALSE(fs::exists(path("levels")));
    EXPECT_TRUE(fs::is_empty(m_folder));
}

TEST_F(LevelChoiceFile, LevelsThatIsAFileIsNamedSo) {
    writeBytes(m_start + "levels", "not a folder");
    const auto error = level::WriteLevelChoiceFile(m_start, "level1.lev");
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().reason, "the levels folder is not a folder");
    EXPECT_EQ(readBytes(m_start + "levels"), "not a folder");
}

TEST_F(LevelChoiceFile, RefusedWriteKeepsTheOldLine) {
    makeLevelsFolder();
    ASSERT_TRUE(level::WriteLevelChoiceFile(m_start, "old.lev"));

    const auto unrepresentable = level::WriteLevelChoiceFile(m_start, "Ω.lev");
    ASSERT_FALSE(unrepresentable);
    EXPECT_EQ(unrepresentable.error().reason,
              "the level name holds \"Ω\" (U+03A9), which the level choice file cannot store");
    const auto lineBreak = level::WriteLevelChoiceFile(m_start, "a.lev\r\nb.lev");
    ASSERT_FALSE(lineBreak);

    ASSERT_EQ(chmod(m_choice.c_str(), 0444), 0);
    const auto readOnly = level::WriteLevelChoiceFile(m_start, "new.lev");
    ASSERT_FALSE(readOnly);
    EXPECT_EQ(readOnly.error().Message(), "cannot write " + m_choice + ": the file is read-only");

    EXPECT_EQ(readBytes(m_choice), "old.lev\r\n");
    EXPECT_EQ(entriesInLevels(), 1u);
}

TEST_F(LevelChoiceFile, FailedWriteInTheMiddleKeepsTheOldLine) {
    makeLevelsFolder();
    ASSERT_TRUE(level::WriteLevelChoiceFile(m_start, "old.lev"));
    level::SetFileCallsForTesting({[](int, const void*, std::size_t) -> long {
        errno = EIO;
        return -1;
    }});
    const auto error = level::WriteLevelChoiceFile(m_start, "new.lev");
    level::SetFileCallsForTesting({});
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().reason, "Input/output error");
    EXPECT_EQ(readBytes(m_choice), "old.lev\r\n");
    EXPECT_EQ(entriesInLevels(), 1u);
}
