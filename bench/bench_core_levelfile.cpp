// Loading and saving the largest level a list can hold (32,767 rows), each beside its floor:
// the least any loader or saver of the same file has to do.
#include "core/levelfile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Realistic rows of some 40 characters; every 97th names a base file with ä and €.
level::LevelLineList fullLevel() {
    level::LevelLineList list;
    for (int i = 0; i < level::LevelLineList::MaxRows; ++i) {
        std::string row;
        if (i % 97 == 0)
            row = "ADD BASE  x=" + std::to_string(i % 900) + " y=-" + std::to_string(i % 300) +
                  " file=Größe€" + std::to_string(i % 10) + ".bs";
        else
            row = "ADD SHIP x= " + std::to_string(i % 1000) + " y=-" + std::to_string(i % 450) +
                  " r=" + std::to_string(i % 360) + " team=" + std::to_string(1 + i % 2) +
                  " typ=" + std::to_string(1 + i % 20);
        if (!list.AddLine(std::move(row)))
            std::abort();
    }
    return list;
}

// One folder for the whole run, with the level saved once.
struct Files {
    Files() {
        std::string pattern = (fs::temp_directory_path() / "bench-levelfile-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        level = fullLevel();
        source = (folder / "full.lev").string();
        target = (folder / "saved.lev").string();
        if (!level::SaveLevelFile(source, level))
            std::abort();
        bytes = *level::FormatLevelText(level.Lines());
    }
    ~Files() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
    level::LevelLineList level;
    std::string source;
    std::string target;
    std::string bytes;
};

Files& files() {
    static Files instance;
    return instance;
}

std::string readWithOneCall(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st {};
    fstat(fd, &st);
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    if (read(fd, bytes.data(), bytes.size()) != st.st_size)
        std::abort();
    close(fd);
    return bytes;
}

void BM_LoadLevelFile(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state) {
        level::LevelLineList list;
        if (!level::LoadLevelFile(f.source, list))
            std::abort();
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}

// Floor for load: the file's bytes in one read, cut at LF into one string per line (with the
// CR dropped), as any list of strings needs; no decoding, no checks.
void BM_LoadFloor_ReadAndSplitIntoStrings(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state) {
        const std::string bytes = readWithOneCall(f.source);
        std::vector<std::string> rows;
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            std::size_t end = bytes.find('\n', pos);
            if (end == std::string::npos)
                end = bytes.size();
            std::size_t length = end - pos;
            if (length > 0 && bytes[end - 1] == '\r')
                --length;
            rows.emplace_back(bytes.data() + pos, length);
            pos = end + 1;
        }
        benchmark::DoNotOptimize(rows);
    }
}

// The same without making strings: only where the lines are.
void BM_LoadFloor_ReadAndSplitIntoViews(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state) {
        const std::string bytes = readWithOneCall(f.source);
        std::vector<std::string_view> rows;
        std::string_view rest(bytes);
        while (!rest.empty()) {
            std::size_t end = rest.find('\n');
            if (end == std::string_view::npos)
                end = rest.size();
            rows.push_back(rest.substr(0, end));
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
        benchmark::DoNotOptimize(rows);
    }
}

void BM_SaveLevelFile(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state)
        if (!level::SaveLevelFile(f.target, f.level))
            std::abort();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}

void writeWithOneCall(const std::string& path, const std::string& bytes, bool sync) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    if (sync && fsync(fd) != 0)
        std::abort();
    close(fd);
}

// Floor for save: the finished bytes straight over the file with one write.
void BM_SaveFloor_OneWrite(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state)
        writeWithOneCall(f.target, f.bytes, false);
}

// The same, flushed to disk as the save is.
void BM_SaveFloor_OneWriteAndFsync(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state)
        writeWithOneCall(f.target, f.bytes, true);
}

// The parts of a save and a load that need no disk.
void BM_FormatLevelText(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::FormatLevelText(f.level.Lines()));
}

void BM_ParseLevelText(benchmark::State& state) {
    Files& f = files();
    for (auto _ : state)
        benchmark::DoNotOptimize(level::ParseLevelText(f.bytes));
}

} // namespace

BENCHMARK(BM_LoadLevelFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadFloor_ReadAndSplitIntoStrings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadFloor_ReadAndSplitIntoViews)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLevelFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveFloor_OneWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveFloor_OneWriteAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FormatLevelText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseLevelText)->Unit(benchmark::kMillisecond)->UseRealTime();
