// One recovery write at 32,767 rows (goal under 20 ms, as it runs between two events of the
// editor's window): the rows formatted with their header, written to a temporary file, flushed
// to disk and renamed over the last one.
#include "bench/fulllevel.h"
#include "core/recovery.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void RecoveryWrite(benchmark::State& state) {
    const std::vector<std::string> rows = fullLevel();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-recovery-" + std::to_string(rand()));
    std::filesystem::create_directories(folder);
    {
        auto slot = level::RecoverySlot::Open(folder.string() + "/");
        if (!slot) {
            state.SkipWithError(slot.error().Message().c_str());
            return;
        }
        const level::RecoveryFacts facts{folder.string() + "/", "", 0};
        for (auto _ : state)
            if (!(*slot)->Write(facts, rows))
                state.SkipWithError("write failed");
    }
    std::filesystem::remove_all(folder);
    state.SetLabel("32,767 rows of some 45 characters");
}
BENCHMARK(RecoveryWrite)->Unit(benchmark::kMillisecond);

void RecoveryFormat(benchmark::State& state) {
    const std::vector<std::string> rows = fullLevel();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::FormatRecovery({"/game/", "", 0}, rows));
    state.SetLabel("the same rows, formatted only");
}
BENCHMARK(RecoveryFormat)->Unit(benchmark::kMillisecond);

} // namespace
