// Loads, saves and builds lines while one allocation after the other fails: no exception leaves
// the core, a failure says "not enough memory", and nothing is lost or half done.
//
// This executable replaces the global operator new, so it holds only these tests.

#include "core/diskfiles.h"
#include "core/entrylines.h"
#include "core/foldernames.h"
#include "core/levelfile.h"
#include "core/levellinelist.h"
#include "core/randomsource.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__)
// The replacements below pair malloc with free; GCC would see free() of what "new" gave.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// Allocations still to succeed before one fails; -1: none fails.
thread_local long allocationsBeforeFailure = -1;

} // namespace

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

long failureToInject = -1; // which allocation of the next failing() call fails
bool injected = false;     // whether it did

// Calls the core with the chosen allocation failing.
template <typename Call> auto failing(Call call) {
    allocationsBeforeFailure = failureToInject;
    auto outcome = call();
    injected = failureToInject >= 0 && allocationsBeforeFailure < 0;
    allocationsBeforeFailure = -1;
    return outcome;
}

// Runs operation once for each allocation of its failing() call, with that allocation failing,
// and then once with none failing; check(outcome, failed) judges each run. Returns the number
// of runs.
template <typename Operation, typename Check>
int failEachAllocation(Operation operation, Check check) {
    for (long n = 0;; ++n) {
        failureToInject = n;
        auto outcome = operation();
        check(outcome, injected);
        if (!injected || ::testing::Test::HasFatalFailure())
            return static_cast<int>(n + 1);
    }
}

class NoMemory : public TempFolderTest {};

TEST_F(NoMemory, FailedLoadKeepsTheRowsAndSelection) {
    const std::string file = path("a.lev");
    writeBytes(file, "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n[winfile]\r\nwin.win\r\n[end]\r\n");
    const std::vector<std::string> before{"old 1", "old 2"};
    const int runs = failEachAllocation(
        [&] {
            level::LevelLineList list;
            (void)list.ReplaceLines(before);
            list.SelectLine(1);
            auto loaded = failing([&] { return level::LoadLevelFile(file, list); });
            return std::pair(loaded.ok() ? std::string() : loaded.error().Message(), list);
        },
        [&](const auto& outcome, bool failed) {
            const auto& [message, list] = outcome;
            if (failed) {
                EXPECT_EQ(message, "cannot load " + file + ": not enough memory");
                EXPECT_EQ(list.Lines(), before);
                EXPECT_EQ(list.SelectedIndex(), 1);
            } else {
                EXPECT_EQ(message, "");
                EXPECT_EQ(list.LineCount(), 4);
            }
        });
    EXPECT_GT(runs, 3);
}

TEST_F(NoMemory, FailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
    const std::string file = path("a.lev");
    const std::string old = "old\r\n";
    level::LevelLineList list;
    for (const char* row : {"ADD BASE  x=1 y=2 file=b.bs", "[shipfiles]", "a.shp", "[end]"})
        ASSERT_TRUE(list.AddLine(row));
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary files" : "unnamed temporary files");
        level::FileCallsForTesting calls;
        calls.namedTemporaryFiles = named;
        level::SetFileCallsForTesting(calls);
        int failedRuns = 0;
        failEachAllocation(
            [&] {
                writeBytes(file, old);
                auto saved = failing([&] { return level::SaveLevelFile(file, list); });
                return saved.ok() ? std::string() : saved.error().Message();
            },
            // A want of memory in a step that only tidies up (removing old temporary files)
            // does not stop the save.
            [&](const std::string& message, bool) {
                EXPECT_EQ(entries(), Names{"a.lev"});
                if (!message.empty()) {
                    ++failedRuns;
                    EXPECT_EQ(message, "cannot save " + file + ": not enough memory");
                    EXPECT_EQ(readBytes(file), old);
                } else {
                    EXPECT_EQ(readBytes(file),
                              "ADD BASE  x=1 y=2 file=b.bs\r\n[shipfiles]\r\na.shp\r\n[end]\r\n");
                }
            });
        EXPECT_GT(failedRuns, 3);
    }
    level::SetFileCallsForTesting({});
}

TEST_F(NoMemory, FolderListingReportsIt) {
    writeBytes(path("a.lev"), "");
    writeBytes(path("b.lev"), "");
    const std::string folder = path("");
    failEachAllocation([&] { return failing([&] { return level::ListFolder(folder); }); },
                       [&](const auto& listed, bool failed) {
                           if (failed) {
                               EXPECT_EQ(listed.error().Message(), "cannot read the folder " +
                                                                       folder +
                                                                       ": not enough memory");
                           } else {
                               EXPECT_EQ(listed.value().size(), 2u);
                           }
                       });
}

TEST(NoMemoryLines, BuildersReportIt) {
    level::ShipEntryInput ship;
    ship.x = "12.5";
    ship.r = "90";
    ship.team = "2";
    failEachAllocation(
        [&] {
            level::RandomSource random;
            return failing([&] { return level::BuildShipLine(ship, random, "."); });
        },
        [](const auto& built, bool failed) {
            if (failed) {
                EXPECT_EQ(built.error().problem,
                          level::ConversionFailure::Problem::NotEnoughMemory);
            } else {
                EXPECT_EQ(built.value(), "ADD SHIP x= 12.5 y= 0 r=90 team=2 typ=1");
            }
        });

    const level::BaseEntryInput base{"ADD BASE ", "10", "-20", "base.bs"};
    failEachAllocation([&] { return failing([&] { return level::BuildBaseLine(base); }); },
                       [](const auto& built, bool failed) {
                           EXPECT_EQ(built.ok(), !failed);
                           if (!failed) {
                               EXPECT_EQ(built.value(), "ADD BASE  x=10 y=-20 file=base.bs");
                           }
                       });
}

TEST(NoMemoryLines, AddingARowWithoutMemoryChangesNothing) {
    level::LevelLineList list;
    while (list.LineCount() < 16 || list.Lines().size() < list.Lines().capacity())
        ASSERT_TRUE(list.AddLine("row"));
    const std::vector<std::string> before = list.Lines();
    list.SelectLine(3);
    const int runs =
        failEachAllocation([&] { return failing([&] { return list.AddLine("new"); }); },
                           [&](bool added, bool failed) {
                               EXPECT_EQ(added, !failed);
                               EXPECT_EQ(list.SelectedIndex(), 3);
                               if (failed) {
                                   EXPECT_EQ(list.Lines(), before);
                               }
                           });
    EXPECT_EQ(runs, 2); // growing the list is its one allocation
    EXPECT_EQ(list.LineAt(list.LineCount() - 1), "new");
}

} // namespace
