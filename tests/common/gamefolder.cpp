#include "tests/common/gamefolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path fromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A new folder of a name nobody else has: tried until one is free.
fs::path makeUniqueFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("leveltools-" + std::to_string(random() % 1000000000));
        std::error_code error;
        if (fs::create_directory(candidate, error))
            return fs::canonical(candidate);
    }
    throw std::runtime_error("cannot make a temporary folder in " + toUtf8(base));
}

} // namespace

TempGameFolder::TempGameFolder(bool withLevels)
    : m_root(makeUniqueFolder()) {
    if (withLevels)
        fs::create_directory(m_root / "levels");
}

TempGameFolder::~TempGameFolder() {
    std::error_code ignored;
    // A test may have made files or folders read-only; the owner may change that back.
    for (auto it = fs::recursive_directory_iterator(m_root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_root, ignored);
}

std::string TempGameFolder::path(std::string_view relative) const {
    return toUtf8(relative.empty() ? m_root : (m_root / fromUtf8(relative)).make_preferred());
}

std::string TempGameFolder::startFolder() const {
    return path() + static_cast<char>(fs::path::preferred_separator);
}

std::string TempGameFolder::levels() const {
    return path("levels");
}

bool writeFileBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(fromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(fromUtf8(path), std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fromUtf8(folder)))
        names.push_back(toUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}
