// Checking the largest level a list can hold (32,767 rows), nearly all of them ship entries:
// types, ship levels and ship files mixed, as a hand-made level has them. Goal: at most 10 ms;
// with the teams' tally and the search for mirrored ships at most 15 ms.
#include "core/entrylines.h"
#include "core/levelcheck.h"
#include "core/levellinelist.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Blocks of 20 ship files and a win file first, so that every type is checked against them.
std::vector<std::string> shipRows() {
    std::vector<std::string> rows{"[shipfiles]"};
    for (int i = 1; i <= 20; ++i)
        rows.push_back("ship" + std::to_string(i) + ".shp");
    rows.insert(rows.end(), {"[end]", "[winfile]", "conquest.win", "[end]"});
    for (int i = static_cast<int>(rows.size()); i < level::LevelLineList::MaxRows; ++i) {
        std::string row = "ADD SHIP x= " + std::to_string(i % 1000) + " y=-" +
                          std::to_string(i % 450) + " r=" + std::to_string(i % 360) +
                          " team=" + std::to_string(1 + i % 2);
        if (i % 3 == 0)
            row += " typ=" + std::to_string(1 + i % 20);
        else if (i % 3 == 1)
            row += " sl=" + std::to_string(1 << (i % 6));
        else
            row += " file=ship" + std::to_string(i % 40) + ".shp";
        rows.push_back(std::move(row));
    }
    return rows;
}

// A game folder that lacks ship0.shp to ship9.shp (some 2,700 findings), or one that holds
// every ship file.
level::FilePresence everyOther(const std::string& name) {
    return name.size() % 2 == 0 ? level::FilePresence::Exists : level::FilePresence::Missing;
}
level::FilePresence every(const std::string&) {
    return level::FilePresence::Exists;
}

void BM_CheckLevel_ShipEntries(benchmark::State& state) {
    const std::vector<std::string> rows = shipRows();
    const level::FileLookup fileExists = state.range(0) ? every : everyOther;
    for (auto _ : state)
        benchmark::DoNotOptimize(level::CheckLevel(rows, fileExists));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}

void BM_CheckLevelAndTeams_ShipEntries(benchmark::State& state) {
    const std::vector<std::string> rows = shipRows();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::CheckLevelAndTeams(rows, every));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}

// A level built for one team and mirrored left↔right for the other, every fiftieth ship of
// team 2 left out or turned: nearly symmetric, so every mode is searched and some 1,000 ships
// are reported; the bases stand at the box's edges.
std::vector<std::string> mirroredRows() {
    std::vector<std::string> rows{"[winfile]", "conquest.win", "[end]",
                                  "ADD BASE  x=0 y=0 file=base1.bs",
                                  "ADD BASE  x=4000 y=0 file=base1.bs"};
    const std::string kinds[] = {" typ=1", " typ=2", " sl=4", " file=fighter.shp"};
    for (int i = 0; static_cast<int>(rows.size()) < level::LevelLineList::MaxRows; ++i) {
        const int x = 10 + i % 1900;
        const int y = (i * 7) % 3000 - 1500;
        const int r = (i * 15) % 360;
        const std::string& kind = kinds[i % 4];
        rows.push_back("ADD SHIP x=" + level::NumberText(x) + " y=" + level::NumberText(y) +
                       " r=" + std::to_string(r) + " team=1" + kind);
        if (i % 50 == 7)
            continue;
        const int mirroredR = i % 50 == 31 ? (360 - r + 90) % 360 : (360 - r) % 360;
        rows.push_back("ADD SHIP x=" + level::NumberText(4000 - x) + " y=" + level::NumberText(y) +
                       " r=" + std::to_string(mirroredR) + " team=2" + kind);
    }
    rows.resize(level::LevelLineList::MaxRows);
    return rows;
}

// The check with the teams' tally and symmetry, counting what it reports.
void checkLevelAndTeams(benchmark::State& state, const std::vector<std::string>& rows) {
    std::size_t findings = 0;
    for (auto _ : state) {
        const level::LevelReport report = level::CheckLevelAndTeams(rows, every);
        findings = report.findings.size();
        benchmark::DoNotOptimize(report);
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}

void BM_CheckLevelAndTeams_Mirrored(benchmark::State& state) {
    checkLevelAndTeams(state, mirroredRows());
}

// The search's worst case: ships of one kind and one heading per team, a half turn apart about
// (2000, 0), but two of every nine of team 2 moved away: a little too few mirrored ships for a
// nearly symmetric level, so that every centre tried is followed far before it is given up, and
// every pair of ships votes.
std::vector<std::string> almostMirroredRows() {
    std::vector<std::string> rows{"[winfile]", "conquest.win", "[end]"};
    for (int i = 0; static_cast<int>(rows.size()) < level::LevelLineList::MaxRows; ++i) {
        const int x = 10 + i % 1900;
        const int y = (i * 7) % 3000 - 1500;
        rows.push_back("ADD SHIP x=" + level::NumberText(x) + " y=" + level::NumberText(y) +
                       " r=0 team=1 typ=1");
        const int moved = i % 9 < 2 ? 3 : 0;
        rows.push_back("ADD SHIP x=" + level::NumberText(4000 - x + moved) +
                       " y=" + level::NumberText(-y) + " r=180 team=2 typ=1");
    }
    rows.resize(level::LevelLineList::MaxRows);
    return rows;
}

void BM_CheckLevelAndTeams_AlmostMirrored(benchmark::State& state) {
    checkLevelAndTeams(state, almostMirroredRows());
}

} // namespace

BENCHMARK(BM_CheckLevelAndTeams_ShipEntries)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckLevelAndTeams_Mirrored)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckLevelAndTeams_AlmostMirrored)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_CheckLevel_ShipEntries)
    ->ArgName("all_files_exist")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
