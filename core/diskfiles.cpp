#include "core/diskfiles.h"

#include "core/platform/fileplatform.h"
#include "core/utf8.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace level {

using namespace fileplatform;

namespace {

FileCallsForTesting testCalls;

// Flushes a file to disk. An interrupted flush is tried again, a few times only: a system that
// keeps interrupting it must not hold the program forever.
Outcome syncFile(int fd) {
    const auto sync = testCalls.sync ? testCalls.sync : systemSync;
    for (int attempt = 0;; ++attempt) {
        if (sync(fd) == 0)
            return {};
        if (errno != EINTR || attempt == 10)
            return errnoText(errno);
    }
}

// Makes a rename in folder durable where the system needs that (not Windows). Best effort: some
// file systems cannot flush a folder, and the new file's data is on disk already.
void syncFolderOf(const fs::path& folder) {
    const int fd = openFolder(folder);
    if (fd < 0)
        return;
    (void)syncFile(fd);
    (void)systemClose(fd);
}

// Closes a descriptor. Never tried again: after a failed close the descriptor is gone all the same.
Outcome closeFile(int fd) {
    const auto close = testCalls.close ? testCalls.close : systemClose;
    return close(fd) != 0 ? Outcome(errnoText(errno)) : Outcome();
}

// A name that no other writer picks at the same moment: process, counter and clock, mixed.
std::string uniqueSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(processId()) << 40) ^
        (counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    x ^= x >> 31;
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (int i = 0; i < 10; ++i) {
        suffix.push_back(digits[x % 36]);
        x /= 36;
    }
    return suffix;
}

// The name every temporary file of a target starts with: hidden, and never matching the
// target's own pattern. The target's name is cut short of the usual 255-byte limit, at a
// character boundary.
std::string temporaryPrefix(const fs::path& targetName) {
    std::string base = toUtf8(targetName);
    base.resize(Utf8BoundaryBefore(base, 120));
    return "." + base + ".part-";
}

// Removes what crashed saves of the same target left behind: this user's own temporary files of
// it that no running save holds. Where that cannot be told (no locks), those older than a day.
// Best effort: whatever cannot be removed stays, and a want of memory only ends the tidying up.
void removeLeftoverTemporaries(const fs::path& folder, const std::string& prefix) {
    try {
        const fs::path where = folder.empty() ? fs::path(".") : folder;
        std::vector<fs::path> names;
        if (!listNames(where, names))
            return;
        const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
        for (const fs::path& name : names) {
            const std::string text = toUtf8(name);
            if (text.size() != prefix.size() + 10 || text.compare(0, prefix.size(), prefix) != 0)
                continue;
            const fs::path file = where / name;
            if (removeIfAbandoned(file) != Leftover::Unknown)
                continue;
            std::error_code ignored;
            if (!fs::is_regular_file(fs::symlink_status(file, ignored)) ||
                fs::last_write_time(file, ignored) > dayAgo)
                continue;
            FileFacts facts;
            if (inspect(file, facts) && facts.exists && facts.owner == currentUser())
                (void)removeFile(file);
        }
    } catch (const std::bad_alloc&) {
    }
}

// The temporary file of one save; removed again unless it was renamed over the target.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_fd >= 0)
            (void)closeFile(m_fd);
        if (!m_path.empty())
            (void)removeFile(m_path);
        if (m_inUse >= 0)
            (void)systemClose(m_inUse);
    }

    // A new file for this user alone: one without a name where the system has them, else one
    // named prefix + 10 random characters. Either is marked as in use (holdInUse) until this
    // object goes, so that another save of the target does not take it for a crash's leftover.
    Outcome Create(const fs::path& folder, const std::string& prefix) {
        m_folder = folder;
        m_prefix = prefix;
        if (!testCalls.namedTemporaryFiles && createUnnamed(folder, m_fd)) {
            m_inUse = holdInUse(m_fd);
            return {};
        }
        return createNamed(m_fd);
    }

    int Descriptor() const { return m_fd; }

    // Gives a file without a name its name (the descriptor stays open), then closes it.
    Outcome NameAndClose() {
        if (m_path.empty()) {
            Outcome reason;
            for (int attempt = 0; attempt < 100; ++attempt) {
                fs::path candidate = m_folder / toPath(m_prefix + uniqueSuffix());
                reason = nameUnnamed(m_fd, candidate);
                if (reason) {
                    m_path = std::move(candidate); // cannot fail: the file is named, and known
                    break;
                }
            }
            if (!reason)
                return reason;
        }
        const int fd = std::exchange(m_fd, -1);
        return closeFile(fd);
    }
    const fs::path& Path() const { return m_path; }
    void Keep() { m_path.clear(); } // it has become the target

private:
    Outcome createNamed(int& fd) {
        Outcome reason;
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = m_folder / toPath(m_prefix + uniqueSuffix());
            int error = 0;
            reason = createExclusive(candidate, 0600, fd, error);
            if (reason) {
                m_inUse = holdInUse(fd);
                // Until it was marked, another save may have taken it for a leftover.
                if (!isStillNamed(fd, candidate)) {
                    (void)closeFile(std::exchange(fd, -1));
                    if (m_inUse >= 0)
                        (void)systemClose(std::exchange(m_inUse, -1));
                    continue;
                }
                m_path = std::move(candidate); // cannot fail: the file exists, and is known
                return {};
            }
            if (error != EEXIST)
                break;
        }
        return reason;
    }

    int m_fd = -1;
    int m_inUse = -1; // holds the mark of holdInUse, also once m_fd is closed
    fs::path m_folder;
    std::string m_prefix;
    fs::path m_path; // empty while the file has no name
};

Outcome writeAll(int fd, std::string_view bytes) {
    const auto writer = testCalls.write ? testCalls.write : systemWrite;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const long written = writer(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errnoText(errno);
        }
        if (written == 0)
            return errnoText(EIO); // the system took nothing: do not spin
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return {};
}

// Reads the whole of an open file into data, if it is a regular file within the limits.
Outcome readOpenFile(int fd, const ReadLimits& limits, std::string& data) {
    FileKind kind = FileKind::Other;
    std::size_t size = 0;
    if (Outcome reason = describeOpenFile(fd, kind, size); !reason)
        return reason;
    if (kind == FileKind::Directory)
        return errnoText(EISDIR);
    if (kind != FileKind::Regular)
        return "it is not a regular file";
    if (size > limits.maxBytes)
        return limits.tooLarge;

    // One byte more than expected, so that the end shows without growing the buffer (files of
    // size 0 in /proc and the like still read, as the buffer grows up to the limit).
    data.resize(size + 1);
    const auto reader = testCalls.read ? testCalls.read : readSome;
    std::size_t got = 0;
    std::size_t lineEnds = 0;
    bool afterCr = false; // the last byte read was a CR, whose LF may come next
    for (;;) {
        if (got == data.size()) {
            if (got > limits.maxBytes)
                return limits.tooLarge;
            data.resize(std::min(data.size() * 2, limits.maxBytes + 1));
        }
        const long n = reader(fd, data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errnoText(errno);
        }
        if (n == 0)
            break;
        // Line ends are counted as they come, so that a file of too many lines is refused at
        // the first line end too many, not after the rest of it was read.
        const char* const end = data.data() + got + n;
        for (const char* c = data.data() + got; c != end; ++c) {
            if (*c == '\n') {
                lineEnds += afterCr ? 0 : 1;
                afterCr = false;
            } else if (*c == '\r') {
                ++lineEnds;
                afterCr = true;
            } else {
                afterCr = false;
            }
        }
        if (lineEnds > limits.maxLineEnds)
            return limits.tooManyLines;
        got += static_cast<std::size_t>(n);
    }
    if (got > limits.maxBytes)
        return limits.tooLarge;
    data.resize(got);
    return {};
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& path, const ReadLimits& limits) {
    auto failed = [&](std::string reason) { return FileError{"read", path, std::move(reason)}; };
    int fd = -1;
    if (Outcome reason = openForReading(toPath(path), fd); !reason)
        return failed(reason.error());
    std::string data;
    Outcome reason;
    try {
        reason = readOpenFile(fd, limits, data);
    } catch (const std::bad_alloc&) {
        reason = Outcome(std::string("not enough memory"));
    }
    Outcome closeReason = closeFile(fd);
    if (!reason)
        return failed(reason.error());
    if (!closeReason)
        return failed(closeReason.error());
    return data;
}

Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 const std::string& action, FileAccess access) {
    auto failed = [&](std::string reason) { return FileError{action, path, std::move(reason)}; };
    try {
        fs::path target;
        if (Outcome reason = resolveLinks(toPath(path), target); !reason)
            return failed(reason.error());

        FileFacts old;
        if (Outcome reason = inspect(target, old); !reason)
            return failed(reason.error());
        if (old.exists) {
            if (old.isDirectory)
                return failed(errnoText(EISDIR));
            if (!old.isRegular)
                return failed("it is not a regular file");
            if (old.readOnly)
                return failed("the file is read-only");
            if (Outcome reason = checkWritable(target); !reason)
                return failed(reason.error());
        }

        const fs::path folder = target.parent_path();
        const std::string prefix = temporaryPrefix(target.filename());
        removeLeftoverTemporaries(folder, prefix);
        TemporaryFile temporary;
        if (Outcome reason = temporary.Create(folder, prefix); !reason)
            return failed(reason.error());
        if (Outcome reason = writeAll(temporary.Descriptor(), bytes); !reason)
            return failed(reason.error());
        // Only the complete file gets the target's owner and permission bits.
        const int fd = temporary.Descriptor();
        if (Outcome reason = access == FileAccess::OwnerOnly ? applyPrivatePermissions(fd)
                             : old.exists                    ? copyOwnerAndPermissions(fd, old)
                                                             : applyNewFilePermissions(fd);
            !reason)
            return failed(reason.error());
        if (Outcome reason = syncFile(temporary.Descriptor()); !reason)
            return failed(reason.error());
        if (Outcome reason = temporary.NameAndClose(); !reason)
            return failed(reason.error());
        if (testCalls.beforeReplace)
            testCalls.beforeReplace(toUtf8(temporary.Path()));
        if (Outcome reason = replaceFile(temporary.Path(), target); !reason)
            return failed(reason.error());
        temporary.Keep();
        syncFolderOf(folder);
        return {};
    } catch (const std::bad_alloc&) {
        return failed("not enough memory");
    }
}

Result<void> CreateEmptyFileIfMissing(const std::string& path) {
    auto failed = [&](std::string reason) { return FileError{"create", path, std::move(reason)}; };
    const fs::path target = toPath(path);
    int fd = -1;
    int error = 0;
    if (Outcome reason = createExclusive(target, 0666, fd, error); !reason) {
        if (error != EEXIST)
            return failed(reason.error());
        // Something of that name is there already; a file is left as it is.
        FileFacts facts;
        if (Outcome inspectReason = inspect(target, facts); !inspectReason)
            return failed(inspectReason.error());
        if (facts.isDirectory)
            return failed(errnoText(EISDIR));
        if (!facts.exists) {
            // A symbolic link that leads nowhere: no file is made through it.
            std::error_code ignored;
            const fs::path leadsTo = fs::read_symlink(target, ignored);
            return failed("it is a symbolic link to " + toUtf8(leadsTo) + ", which does not exist");
        }
        return {};
    }
    if (Outcome reason = closeFile(fd); !reason) {
        (void)removeFile(target);
        return failed(reason.error());
    }
    return {};
}

Result<void> RemoveFile(const std::string& path) {
    if (Outcome reason = removeFile(toPath(path)); !reason)
        return FileError{"delete", path, reason.error()};
    return {};
}

void SetFileCallsForTesting(const FileCallsForTesting& calls) {
    testCalls = calls;
}

} // namespace level
