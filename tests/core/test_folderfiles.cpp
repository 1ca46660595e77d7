#include "core/folderfiles.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class FolderFilesTest : public TempFolderTest {};

} // namespace

TEST_F(FolderFilesTest, FilesAreFoundExactlyOrInOtherLetterCase) {
    writeBytes(path("fighter.shp"), "");
    writeBytes(path("Cruiser.SHP"), "");
    writeBytes(path("ZONE.WIN"), "");
    writeBytes(path("area.bs"), "");
    writeBytes(path("gr\xc3\xb6\xc3\x9f"
                    "e.shp"),
               ""); // größe.shp
#ifndef _WIN32      // Windows names files in UTF-16: there are no Windows-1252 bytes to meet
    writeBytes(path("\xc4"
                    "lteste.bs"),
               ""); // "Älteste.bs" in Windows-1252 bytes
#endif
    std::filesystem::create_directory(m_folder / "wing.shp");

    const auto files = level::FolderFiles::Read(m_game.startFolder());
    ASSERT_TRUE(files) << files.error().Message();
    EXPECT_EQ(files->Lookup("fighter.shp"), level::FilePresence::Exists);
    EXPECT_EQ(files->Lookup("Cruiser.SHP"), level::FilePresence::Exists);
    EXPECT_EQ(files->Lookup("cruiser.shp"), level::FilePresence::OtherCase);
    EXPECT_EQ(files->Lookup("FIGHTER.shp"), level::FilePresence::OtherCase);
    EXPECT_EQ(files->Lookup("zone.win"), level::FilePresence::OtherCase); // the letters A and Z
    EXPECT_EQ(files->Lookup("AREA.BS"), level::FilePresence::OtherCase);  // are letters too
    EXPECT_EQ(files->Lookup("gr\xc3\xb6\xc3\x9f"
                            "e.shp"),
              level::FilePresence::Exists);
    // Letter case is compared in ASCII only: "Ö" is another letter than "ö".
    EXPECT_EQ(files->Lookup("gr\xc3\x96\xc3\x9f"
                            "e.shp"),
              level::FilePresence::Missing);
#ifndef _WIN32
    // A name in Windows-1252 bytes is the name a level writes in its own text.
    EXPECT_EQ(files->Lookup("\xc3\x84lteste.bs"), level::FilePresence::Exists);
#endif
    EXPECT_EQ(files->Lookup("wing.shp"), level::FilePresence::Missing); // a folder is no file
    EXPECT_EQ(files->Lookup("fighter"), level::FilePresence::Missing);
    EXPECT_EQ(files->Lookup(""), level::FilePresence::Missing);
}

TEST_F(FolderFilesTest, AFolderThatCannotBeReadIsReportedWithItsPath) {
    const std::string missing = path("gone");
    const auto files = level::FolderFiles::Read(missing);
    ASSERT_FALSE(files);
    EXPECT_EQ(files.error().action, "read the game folder");
    EXPECT_EQ(files.error().path, missing);
    EXPECT_FALSE(files.error().reason.empty());
}
