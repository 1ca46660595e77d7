// One step of the find field at 32,767 rows (goal under 10 ms): a search that finds nothing looks
// at every row, the most a step does.
#include "core/rowtext.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> fullLevel() {
    std::vector<std::string> rows;
    for (int i = 0; i < 32767; ++i)
        rows.push_back("ADD SHIP x= " + std::to_string(i % 1000) + " y=-" +
                       std::to_string(i % 450) + " r=" + std::to_string(i % 360) +
                       " team=" + std::to_string(1 + i % 2) + " typ=" + std::to_string(1 + i % 20));
    return rows;
}

void FindRowNotThere(benchmark::State& state) {
    const std::vector<std::string> rows = fullLevel();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::FindRow(rows, "base2.bs", 0));
    state.SetLabel("32,767 rows, no row holds the text");
}
BENCHMARK(FindRowNotThere)->Unit(benchmark::kMillisecond);

} // namespace
