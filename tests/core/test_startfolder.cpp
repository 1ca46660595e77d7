#include "startfolder.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
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
    EXPECT_EQ(StartFolder(), m_folder.string() + "/");

    fs::current_path("/");
    EXPECT_EQ(StartFolder(), "/");
}

TEST_F(StartFolderTest, LaterChangeOfTheWorkingFolderDoesNotMoveAKeptStartFolder) {
    fs::current_path(m_folder);
    const std::string kept = StartFolder();
    fs::create_directory(m_folder / "sub");
    fs::current_path(m_folder / "sub");
    EXPECT_EQ(kept, m_folder.string() + "/");
    EXPECT_EQ(StartFolder(), (m_folder / "sub").string() + "/");
}

TEST(StartFolderPaths, JoinWithExactlyOneSeparator) {
    ASSERT_EQ(PathSeparator(), '/');
    struct Case {
        std::string folder, name, joined;
    };
    const Case cases[] = {
        {"/game", "a.lev", "/game/a.lev"},
        {"/game/", "a.lev", "/game/a.lev"},
        {"/", "a.lev", "/a.lev"},
        {"", "a.lev", "a.lev"},
        {"/game/levels/", "", "/game/levels/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
}

TEST(StartFolderPaths, LevelsFolderUnderTheStartFolder) {
    EXPECT_EQ(LevelsFolder("/home/pilot/game/"), "/home/pilot/game/levels/");
    EXPECT_EQ(LevelsFolder("/"), "/levels/");
    EXPECT_EQ(LevelsFolder("/home/pilot/game"), "/home/pilot/game/levels/");
}
