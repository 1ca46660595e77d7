#include "core/filestamp.h"

#include "core/diskfiles.h"
#include "core/levelfile.h"
#include "core/platform/fileplatform.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace level {

namespace fs = std::filesystem;

FileStamp StampFile(const std::string& path) {
    std::error_code error;
    const fs::path file = fileplatform::toPath(path);
    FileStamp stamp;
    if (!fs::is_regular_file(file, error))
        return stamp;
    stamp.size = static_cast<std::uint64_t>(fs::file_size(file, error));
    if (error)
        return FileStamp{};
    const auto time = fs::last_write_time(file, error);
    if (error)
        return FileStamp{};
    stamp.exists = true;
    stamp.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
    stamp.racy = fs::file_time_type::clock::now() - time < std::chrono::seconds(2);
    return stamp;
}

FileStamp StampFileWithHash(const std::string& path) {
    FileStamp stamp = StampFile(path);
    if (!stamp.exists)
        return stamp;
    // A file that cannot be read keeps the hash 0, which differs from any file's that was read.
    const ReadLimits limits{MaxLevelFileBytes, "too large", MaxLevelFileBytes, "too many lines"};
    if (const auto bytes = ReadWholeFile(path, limits))
        stamp.hash = HashBytes(*bytes);
    return stamp;
}

std::uint64_t HashBytes(std::string_view bytes, std::uint64_t from) {
    std::uint64_t hash = from;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    std::error_code error;
    const bool same = fs::equivalent(fileplatform::toPath(a), fileplatform::toPath(b), error);
    if (!error)
        return same;
    return fs::absolute(fileplatform::toPath(a), error).lexically_normal() ==
           fs::absolute(fileplatform::toPath(b), error).lexically_normal();
}

} // namespace level
