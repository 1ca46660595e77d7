// One step of the find field at 32,767 rows (goal under 10 ms): a search that finds nothing looks
// at every row, the most a step does.
#include "bench/fulllevel.h"
#include "core/rowtext.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void FindRowNotThere(benchmark::State& state) {
    const std::vector<std::string> rows = fullLevel();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::FindRow(rows, "base2.bs", 0));
    state.SetLabel("32,767 rows, no row holds the text");
}
BENCHMARK(FindRowNotThere)->Unit(benchmark::kMillisecond);

} // namespace
