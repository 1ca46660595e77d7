#include "core/recovery.h"

#include "core/windows1252.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using Rows = std::vector<std::string>;

namespace {

// Every character a level file can hold, in rows of every length up to the longest.
Rows everyStorableCharacter() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes.push_back(static_cast<char>(b));
    const std::string all = level::DecodeWindows1252(bytes);
    return {all, "", " trailing blank ", all + all, "\t"};
}

const level::RecoveryFacts Facts{"/home/me/game/", "/home/me/game/levels/a\nb.lev", 1765000000};

} // namespace

// The rows come back byte for byte, in the level file's form and (for a row a level file cannot
// store) in the counted form, and so do the facts.
TEST(RecoveryFile, RowsAndFactsComeBackWhole) {
    Rows large(32767, "ADD SHIP x= 100 y= -200 r= 90 t= 1 typ= 3");
    large[17] = "";
    for (const Rows& rows : {everyStorableCharacter(), Rows{}, Rows{""}, large,
                             Rows{"\xce\xa9 omega", "a\rb", "", "c\nd\r\n"}}) {
        const auto parsed = level::ParseRecovery(level::FormatRecovery(Facts, rows));
        ASSERT_TRUE(parsed) << parsed.error();
        EXPECT_EQ(parsed->rows, rows);
        EXPECT_EQ(parsed->facts.startFolder, Facts.startFolder);
        EXPECT_EQ(parsed->facts.levelFile, Facts.levelFile);
        EXPECT_EQ(parsed->facts.writtenAt, Facts.writtenAt);
    }
}

// A file cut anywhere, with a byte changed anywhere, or of another kind is refused with a reason.
TEST(RecoveryFile, DamagedFilesAreRefused) {
    const std::string whole = level::FormatRecovery(Facts, {"ADD SHIP x= 1", "[end]"});
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(level::ParseRecovery(std::string_view(whole).substr(0, length))) << length;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        std::string changed = whole;
        changed[at] = static_cast<char>(changed[at] ^ 0x04);
        EXPECT_FALSE(level::ParseRecovery(changed)) << at;
    }
    EXPECT_FALSE(level::ParseRecovery(whole + "x"));
    const auto other = level::ParseRecovery("ADD SHIP x= 1\r\n");
    ASSERT_FALSE(other);
    EXPECT_EQ(other.error(), "it is no recovery file");
}

class RecoverySlots : public TempFolderTest {
protected:
    std::string folder() const { return m_game.startFolder(); }
    Names claimable() const {
        Names paths;
        auto claimed = level::ClaimAbandonedRecoveries(folder());
        EXPECT_TRUE(claimed);
        for (const auto& recovery : *claimed)
            paths.push_back(recovery->path());
        return paths;
    }
};

// A running editor's file is never offered; once it ends normally nothing is left.
TEST_F(RecoverySlots, ARunningEditorsFileIsItsOwn) {
    {
        auto slot = level::RecoverySlot::Open(folder());
        ASSERT_TRUE(slot) << slot.error().Message();
        ASSERT_TRUE((*slot)->Write(Facts, {"row 1", "row 2"}));
        const auto written = level::ParseRecovery(readBytes((*slot)->path()));
        ASSERT_TRUE(written);
        EXPECT_EQ(written->rows, (Rows{"row 1", "row 2"}));
#ifndef _WIN32
        struct stat st;
        ASSERT_EQ(stat((*slot)->path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
        auto other = level::RecoverySlot::Open(folder());
        ASSERT_TRUE(other);
        EXPECT_NE((*other)->path(), (*slot)->path());
        EXPECT_EQ(claimable(), Names{});
        ASSERT_TRUE((*slot)->Remove());
        EXPECT_EQ(readBytes((*slot)->path()), "<missing>");
        ASSERT_TRUE((*slot)->Write(Facts, {"again"}));
    }
    EXPECT_EQ(entries(), Names{});
}

// The files of editors that ended without removing them: newest first, each claimed by one
// editor only; declined once, then kept for one more start; a damaged one moved aside for good.
TEST_F(RecoverySlots, AbandonedFilesAreClaimedDeclinedAndSetAside) {
    const std::string older = path("level-1-a.lev-recovery");
    const std::string newer = path("level-2-b.lev-recovery");
    const std::string damaged = path("level-3-c.lev-recovery");
    writeBytes(older, level::FormatRecovery({"/g/", "", 100}, {"old"}));
    writeBytes(newer, level::FormatRecovery({"/g/", "", 200}, {"new"}));
    writeBytes(damaged, level::FormatRecovery({"/g/", "", 300}, {"cut"}).substr(0, 40));
    writeBytes(path("level-4-d.lev-recovery.lock"), ""); // an editor that ended before writing
    {
        auto claimed = level::ClaimAbandonedRecoveries(folder());
        ASSERT_TRUE(claimed);
        ASSERT_EQ(claimed->size(), 3u);
        EXPECT_EQ((*claimed)[0]->path(), newer);
        EXPECT_EQ((*claimed)[1]->path(), older);
        EXPECT_EQ((*claimed)[2]->path(), damaged); // no time to be read: last
        EXPECT_EQ(claimable(), Names{});           // claimed while these live

        EXPECT_FALSE((*claimed)[0]->declined());
        ASSERT_TRUE((*claimed)[0]->Decline());
        const auto read = (*claimed)[1]->Read();
        ASSERT_TRUE(read);
        EXPECT_EQ(read->rows, Rows{"old"});
        ASSERT_TRUE((*claimed)[1]->Remove());
        const auto unreadable = (*claimed)[2]->Read();
        ASSERT_FALSE(unreadable);
        EXPECT_NE(unreadable.error().Message().find(damaged), std::string::npos);
        const auto aside = (*claimed)[2]->SetAside();
        ASSERT_TRUE(aside);
        EXPECT_FALSE(readBytes(*aside).empty());
    }
    auto again = level::ClaimAbandonedRecoveries(folder());
    ASSERT_TRUE(again);
    ASSERT_EQ(again->size(), 1u);
    EXPECT_EQ((*again)[0]->path(), newer);
    EXPECT_TRUE((*again)[0]->declined());
    ASSERT_TRUE((*again)[0]->Remove());
    EXPECT_EQ(entries(), Names{"level-3-c.damaged"});
}

// The folder lies under the state folder the environment names, made for this user alone.
#ifndef _WIN32
TEST_F(RecoverySlots, TheFolderIsTheUsersOwn) {
    const std::string state = path("state");
    const char* before = std::getenv("XDG_STATE_HOME");
    const std::string saved = before ? before : "";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    const auto made = level::RecoveryFolder();
    before ? setenv("XDG_STATE_HOME", saved.c_str(), 1) : unsetenv("XDG_STATE_HOME");
    ASSERT_TRUE(made) << made.error().Message();
    EXPECT_EQ(*made, state + "/leveltools/recovery/");
    struct stat st;
    ASSERT_EQ(stat((state + "/leveltools").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}
#endif
