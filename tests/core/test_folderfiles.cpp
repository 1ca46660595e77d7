#include "folderfiles.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class FolderFilesTest : public TempFolderTest {};

} // namespace

TEST_F(FolderFilesTest, FilesAreFoundExactlyOrInOtherLetterCase) {
    writeBytes(path("fighter.shp"), "");
    writeBytes(path("Cruiser.SHP"), "");
    writeBytes(path("gr\xc3\xb6\xc3\x9f"
                    "e.shp"),
               ""); // größe.shp
#ifndef _WIN32      // Windows names files in UTF-16: there are no Windows-1252 bytes to meet
    writeBytes(path("\xc4"
                    "lteste.bs"),
               ""); // "Älteste.bs" in Windows-1252 bytes
#endif
    std::filesystem::create_directory(m_folder / "wing.shp");

    const auto files = FolderFiles::Read(m_game.startFolder());
    ASSERT_TRUE(files) << files.error().Message();
    EXPECT_EQ(files->Lookup("fighter.shp"), FilePresence::Exists);
    EXPECT_EQ(files->Lookup("Cruiser.SHP"), FilePresence::Exists);
    EXPECT_EQ(files->Lookup("cruiser.shp"), FilePresence::OtherCase);
    EXPECT_EQ(files->Lookup("FIGHTER.shp"), FilePresence::OtherCase);
    EXPECT_EQ(files->Lookup("gr\xc3\xb6\xc3\x9f"
                            "e.shp"),
              FilePresence::Exists);
    // Letter case is compared in ASCII only: "Ö" is another letter than "ö".
    EXPECT_EQ(files->Lookup("gr\xc3\x96\xc3\x9f"
                            "e.shp"),
              FilePresence::Missing);
#ifndef _WIN32
    // A name in Windows-1252 bytes is the name a level writes in its own text.
    EXPECT_EQ(files->Lookup("\xc3\x84lteste.bs"), FilePresence::Exists);
#endif
    EXPECT_EQ(files->Lookup("wing.shp"), FilePresence::Missing); // a folder is no file
    EXPECT_EQ(files->Lookup("fighter"), FilePresence::Missing);
    EXPECT_EQ(files->Lookup(""), FilePresence::Missing);
}

TEST_F(FolderFilesTest, AFolderThatCannotBeReadIsReportedWithItsPath) {
    const std::string missing = path("gone");
    const auto files = FolderFiles::Read(missing);
    ASSERT_FALSE(files);
    EXPECT_EQ(files.error().action, "read the game folder");
    EXPECT_EQ(files.error().path, missing);
    EXPECT_FALSE(files.error().reason.empty());
}
