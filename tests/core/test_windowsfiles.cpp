// What only Windows files have: attributes, names that go to the system as UTF-16, and other
// programs holding a file open. Built for Windows only; `make check-windows` runs it under Wine.

#include "core/diskfiles.h"
#include "core/foldernames.h"
#include "core/levelchoice.h"
#include "core/levelfile.h"
#include "core/startfolder.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

constexpr DWORD hiddenAndSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::atomic<bool> temporaryClosed{false};

// Stands in for the close of the file layer and tells when it has closed the temporary file,
// the step right before the replace.
int closeAndTell(int fd) {
    const int result = _close(fd);
    temporaryClosed = true;
    return result;
}

class WindowsFiles : public TempFolderTest {
protected:
    void TearDown() override {
        level::SetFileCallsForTesting({});
        TempFolderTest::TearDown();
    }

    static fs::path wide(const std::string& utf8) {
        return fs::path(std::u8string(utf8.begin(), utf8.end()));
    }
    static DWORD attributesOf(const std::string& file) {
        return GetFileAttributesW(wide(file).c_str());
    }
    static void setAttributes(const std::string& file, DWORD attributes) {
        ASSERT_TRUE(SetFileAttributesW(wide(file).c_str(), attributes)) << file;
    }
    // The file opened for reading as another program would, sharing reading and writing, and
    // deleting only when asked to.
    static HANDLE holdOpen(const std::string& file, bool shareDelete) {
        const DWORD share =
            FILE_SHARE_READ | FILE_SHARE_WRITE | (shareDelete ? FILE_SHARE_DELETE : 0);
        const HANDLE held = CreateFileW(wide(file).c_str(), GENERIC_READ, share, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(held, INVALID_HANDLE_VALUE) << file;
        return held;
    }
    static std::string readThrough(HANDLE held) {
        char bytes[64];
        DWORD got = 0;
        SetFilePointer(held, 0, nullptr, FILE_BEGIN);
        EXPECT_TRUE(ReadFile(held, bytes, sizeof bytes, &got, nullptr));
        return std::string(bytes, got);
    }
};

} // namespace

TEST_F(WindowsFiles, ReadOnlyAttributeIsRefusedAndKept) {
    const std::string file = path("ro.lev");
    writeBytes(file, "old\r\n");
    setAttributes(file, FILE_ATTRIBUTE_READONLY);
    level::LevelLineList list;
    ASSERT_TRUE(list.ReplaceLines({"new"}));

    const auto saved = level::SaveLevelFile(file, list);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().Message(), "cannot save " + file + ": the file is read-only");
    const auto deleted = level::RemoveFile(file);
    ASSERT_FALSE(deleted);
    EXPECT_EQ(deleted.error().reason, std::generic_category().message(EACCES));
    ASSERT_TRUE(level::CreateEmptyFileIfMissing(file));

    EXPECT_NE(attributesOf(file) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(entries(), Names{"ro.lev"});
}

TEST_F(WindowsFiles, HiddenAndSystemAttributesSurviveASave) {
    // A file with neither must not gain them from the temporary file either (Wine shows a name
    // that begins with a dot as hidden).
    for (const DWORD attributes :
         {DWORD{0}, DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}, hiddenAndSystem}) {
        const std::string file = path("kept.lev");
        writeBytes(file, "old\r\n");
        if (attributes)
            setAttributes(file, attributes);
        ASSERT_TRUE(level::WriteFileAtomically(file, "new\r\n")) << attributes;
        EXPECT_EQ(readBytes(file), "new\r\n");
        EXPECT_EQ(attributesOf(file) & hiddenAndSystem, attributes);
        EXPECT_EQ(entries(), Names{"kept.lev"});
        ASSERT_TRUE(level::RemoveFile(file));
    }
}

TEST_F(WindowsFiles, NamesWithUmlautsAndOtherScriptsReachTheSystemUnchanged) {
    // Made and checked through the system's own UTF-16 names, used through the core's UTF-8.
    const fs::path folder = m_folder / L"Größe Уровень";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string folderUtf8 = path("Größe Уровень");
    const std::string level = level::JoinPath(folderUtf8, "Карта ä 関.lev");

    level::LevelLineList list;
    ASSERT_TRUE(list.ReplaceLines({"ADD BASE  x=0 y=0 file=größe.bs", "[end]"}));
    ASSERT_TRUE(level::SaveLevelFile(level, list));
    EXPECT_NE(GetFileAttributesW((folder / L"Карта ä 関.lev").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(entries(folder), Names{"Карта ä 関.lev"});
    level::LevelLineList loaded;
    ASSERT_TRUE(level::LoadLevelFile(level, loaded));
    EXPECT_EQ(loaded.Lines(), list.Lines());

    const std::string empty = level::JoinPath(folderUtf8, "Ölfeld.lev");
    ASSERT_TRUE(level::CreateEmptyFileIfMissing(empty));
    EXPECT_NE(GetFileAttributesW((folder / L"Ölfeld.lev").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(level::RemoveFile(empty));
    ASSERT_TRUE(level::RemoveFile(level));
    EXPECT_EQ(entries(folder), Names{});
}

// Deeper than the old 260-character limit: saved, listed, loaded and removed through the core.
TEST_F(WindowsFiles, LevelsInAFolderDeeperThanTheOldPathLimit) {
    std::string folder = path("");
    std::wstring deep = L"\\\\?\\" + fs::path(m_folder).make_preferred().native();
    while (folder.size() < 300) {
        const std::string part(40, 'd');
        folder = level::JoinPath(folder, part);
        deep += L"\\" + std::wstring(part.begin(), part.end());
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    }
    const std::string level = level::JoinPath(folder, "level1.lev");
    level::LevelLineList list;
    ASSERT_TRUE(list.ReplaceLines({"ADD BASE  x=0 y=0 file=b.bs", "[end]"}));
    ASSERT_TRUE(level::SaveLevelFile(level, list));
    ASSERT_TRUE(level::SaveLevelFile(level, list)); // the replace of an existing file
    const auto listed = level::ListFolder(folder);
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ((*listed)[0].name, "level1.lev");
    EXPECT_TRUE((*listed)[0].isFile);
    level::LevelLineList loaded;
    ASSERT_TRUE(level::LoadLevelFile(level, loaded));
    EXPECT_EQ(loaded.Lines(), list.Lines());
    ASSERT_TRUE(level::RemoveFile(level));
    EXPECT_TRUE(level::ListFolder(folder)->empty());
}

TEST_F(WindowsFiles, LevelChoiceFileInAFolderOfSuchNames) {
    const fs::path game = m_folder / L"Spiele Ä 游戏";
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    const std::string start = level::JoinPath(path("Spiele Ä 游戏"), "");
    const auto missing = level::WriteLevelChoiceFile(start, "level1.lev");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().reason, "the levels folder does not exist");

    ASSERT_TRUE(CreateDirectoryW((game / L"levels").c_str(), nullptr));
    ASSERT_TRUE(level::WriteLevelChoiceFile(start, "größe.lev"));
    const fs::path choice = game / L"levels" / L"uselev.lst";
    const std::u8string choiceUtf8 = choice.u8string();
    EXPECT_EQ(readBytes(std::string(choiceUtf8.begin(), choiceUtf8.end())), "gr\xF6\xDF"
                                                                            "e.lev\r\n");
}

TEST_F(WindowsFiles, SaveWhileAnotherProgramHoldsTheFileKeepsOneWholeFile) {
    const std::string file = path("held.lev");
    for (const bool shareDelete : {false, true}) {
        writeBytes(file, "old\r\n");
        const HANDLE held = holdOpen(file, shareDelete);
        const auto start = std::chrono::steady_clock::now();
        const auto saved = level::WriteFileAtomically(file, "new\r\n");
        const auto took = std::chrono::steady_clock::now() - start;
        // The holder still reads the old file; on disk is one whole file, the old one unless
        // the save succeeded (Windows and Wine refuse the replace even with delete sharing).
        EXPECT_EQ(readThrough(held), "old\r\n") << shareDelete;
        CloseHandle(held);
        if (!shareDelete) {
            ASSERT_FALSE(saved);
        }
        if (!saved) {
            EXPECT_GE(took, std::chrono::milliseconds(500)) << "given up without trying again";
            EXPECT_EQ(saved.error().action, "save");
            EXPECT_EQ(saved.error().path, file);
            EXPECT_FALSE(saved.error().reason.empty());
        }
        EXPECT_EQ(readBytes(file), saved ? "new\r\n" : "old\r\n") << shareDelete;
        EXPECT_EQ(entries(), Names{"held.lev"}) << shareDelete;

        ASSERT_TRUE(level::WriteFileAtomically(file, "again\r\n")) << shareDelete;
        EXPECT_EQ(readBytes(file), "again\r\n");
    }
}

TEST_F(WindowsFiles, SaveSucceedsWhenTheOtherProgramLetsGoSoon) {
    const std::string file = path("held.lev");
    writeBytes(file, "old\r\n");
    const HANDLE held = holdOpen(file, false);
    temporaryClosed = false;
    level::SetFileCallsForTesting({nullptr, nullptr, closeAndTell});
    // The other program lets go once the save is about to replace the file, just before the
    // first try or while the save tries again.
    std::thread other([held] {
        while (!temporaryClosed)
            std::this_thread::yield();
        CloseHandle(held);
    });
    const auto saved = level::WriteFileAtomically(file, "new\r\n");
    other.join();
    ASSERT_TRUE(saved) << saved.error().Message();
    EXPECT_EQ(readBytes(file), "new\r\n");
    EXPECT_EQ(entries(), Names{"held.lev"});
}
