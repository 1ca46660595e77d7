#include "core/foldernames.h"
#include "core/startfolder.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

// Runs a test in a working folder of its own and goes back afterwards.
class StartFolderTest : public TempFolderTest {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        TempFolderTest::SetUp();
    }
    void TearDown() override {
        fs::current_path(m_previous);
        TempFolderTest::TearDown();
    }

    fs::path m_previous;
};

} // namespace

TEST_F(StartFolderTest, WorkingFolderWithOneSeparator) {
    fs::current_path(m_folder);
    EXPECT_EQ(level::StartFolder(), m_game.startFolder());

    // A root ("/", "C:\\") ends in its separator already.
    fs::current_path(m_folder.root_path());
    const std::u8string root = m_folder.root_path().u8string();
    EXPECT_EQ(level::StartFolder(), std::string(root.begin(), root.end()));
}

TEST_F(StartFolderTest, LaterChangeOfTheWorkingFolderDoesNotMoveAKeptStartFolder) {
    fs::current_path(m_folder);
    const std::string kept = level::StartFolder();
    fs::create_directory(m_folder / "sub");
    fs::current_path(m_folder / "sub");
    EXPECT_EQ(kept, m_game.startFolder());
    EXPECT_EQ(level::StartFolder(), level::JoinPath(path("sub"), ""));
}

TEST(StartFolderPaths, JoinWithExactlyOneSeparator) {
    struct Case {
        std::string folder, name, joined;
    };
#ifdef _WIN32
    ASSERT_EQ(level::PathSeparator(), '\\');
    const Case cases[] = {
        {"C:\\game", "a.lev", "C:\\game\\a.lev"},
        {"C:\\game\\", "a.lev", "C:\\game\\a.lev"},
        {"C:/game/", "a.lev", "C:/game/a.lev"}, // Windows takes either separator
        {"C:\\", "a.lev", "C:\\a.lev"},
        {"", "a.lev", "a.lev"},
        {"C:\\game\\levels\\", "", "C:\\game\\levels\\"},
    };
#else
    ASSERT_EQ(level::PathSeparator(), '/');
    const Case cases[] = {
        {"/game", "a.lev", "/game/a.lev"},
        {"/game/", "a.lev", "/game/a.lev"},
        {"/", "a.lev", "/a.lev"},
        {"", "a.lev", "a.lev"},
        {"/game/levels/", "", "/game/levels/"},
    };
#endif
    for (const Case& c : cases)
        EXPECT_EQ(level::JoinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
}

TEST(StartFolderPaths, LevelsFolderUnderTheStartFolder) {
#ifdef _WIN32
    EXPECT_EQ(level::LevelsFolder("C:\\Games\\game\\"), "C:\\Games\\game\\levels\\");
    EXPECT_EQ(level::LevelsFolder("C:\\"), "C:\\levels\\");
    EXPECT_EQ(level::LevelsFolder("C:\\Games\\game"), "C:\\Games\\game\\levels\\");
#else
    EXPECT_EQ(level::LevelsFolder("/home/pilot/game/"), "/home/pilot/game/levels/");
    EXPECT_EQ(level::LevelsFolder("/"), "/levels/");
    EXPECT_EQ(level::LevelsFolder("/home/pilot/game"), "/home/pilot/game/levels/");
#endif
}

TEST_F(StartFolderTest, FolderListingTellsFoldersFromFilesByExactName) {
    fs::create_directory(path("sub"));
    writeBytes(path("a.lev"), "");
#ifndef _WIN32 // the platform's library for Windows makes no symbolic links
    fs::create_directory_symlink("sub", path("to-sub"));
    fs::create_symlink("/dev/zero",
                       path("zero.lev")); // neither: no folder to open, no file to load
    fs::create_symlink("nowhere", path("dangling.lev"));
    writeBytes(path("\xFF.lev"), ""); // a Windows-1252 name, no UTF-8
#endif
    const auto listed = level::ListFolder(path(""));
    ASSERT_TRUE(listed) << listed.error().Message();
    std::map<std::string, std::pair<bool, bool>> kinds; // name -> folder, file
    for (const level::FolderEntry& entry : *listed)
        kinds[entry.name] = {entry.isFolder, entry.isFile};
    std::map<std::string, std::pair<bool, bool>> expected{{"sub", {true, false}},
                                                          {"a.lev", {false, true}}};
#ifndef _WIN32
    expected["to-sub"] = {true, false};
    expected["zero.lev"] = {false, false};
    expected["dangling.lev"] = {false, false};
    expected["\xFF.lev"] = {false, true};
#endif
    EXPECT_EQ(kinds, expected);

    const auto missing = level::ListFolder(path("missing"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().action, "read the folder");
}
