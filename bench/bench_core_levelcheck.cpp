// Checking the largest level a list can hold (32,767 rows), nearly all of them ship entries:
// types, ship levels and ship files mixed, as a hand-made level has them. Goal: at most 10 ms.
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

} // namespace

BENCHMARK(BM_CheckLevel_ShipEntries)
    ->ArgName("all_files_exist")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
