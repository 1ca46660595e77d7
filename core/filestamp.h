#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace level {

// What a file on disk is, to tell whether someone else changed it since: whether a regular file
// is there, its size, its modification time and (when asked) a hash of its bytes. Paths are the
// core's (UTF-8, every byte of a name kept).
struct FileStamp {
    bool exists = false; // a regular file
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the file system's own ticks
    std::uint64_t hash = 0;    // of the bytes; 0 until hashed
    // Modified so shortly before the stamp was taken that a later change within the file
    // system's time resolution (a second on some) may keep size and time: only the bytes tell.
    bool racy = false;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path now, without its hash.
FileStamp StampFile(const std::string& path);
// The same with the hash of its bytes, read whole (a file beyond a level file's size, or one
// that cannot be read, keeps the hash 0).
FileStamp StampFileWithHash(const std::string& path);
// The hash of bytes (64-bit FNV-1a), as StampFileWithHash takes it. From the hash of earlier
// bytes it goes on over these: HashBytes(b, HashBytes(a)) is the hash of a and then b.
inline constexpr std::uint64_t HashStart = 14695981039346656037ull;
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t from = HashStart);
// Whether two paths name the same file (also through links or other spellings).
bool SameFile(const std::string& a, const std::string& b);

} // namespace level
