#include "atomicfile.h"

#include "fileplatform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <utility>

using namespace fileplatform;

namespace {

FileCallsForTesting testCalls;

// Flushes a file to disk. An interrupted flush is tried again, a few times only: a system that
// keeps interrupting it must not hold the program forever.
Reason syncFile(int fd) {
    const auto sync = testCalls.sync ? testCalls.sync : systemSync;
    for (int attempt = 0;; ++attempt) {
        if (sync(fd) == 0)
            return std::nullopt;
        if (errno != EINTR || attempt == 10)
            return errnoText(errno);
    }
}

// Closes a descriptor. Never tried again: after a failed close the descriptor is gone all the same.
Reason closeFile(int fd) {
    const auto close = testCalls.close ? testCalls.close : systemClose;
    return close(fd) != 0 ? Reason(errnoText(errno)) : std::nullopt;
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
    }

    // Creates ".<name>~<random>" in folder, which never matches the name's own pattern.
    Reason Create(const fs::path& folder, const fs::path& targetName) {
        std::string base = toUtf8(targetName);
        // Keep the whole name short of the usual 255-byte limit; cut at a character boundary.
        std::size_t keep = std::min<std::size_t>(base.size(), 120);
        while (keep > 0 && keep < base.size() &&
               (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
            --keep;
        base.resize(keep);
        Reason reason;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate = folder / toPath("." + base + "~" + uniqueSuffix());
            int error = 0;
            reason = createExclusive(candidate, m_fd, error);
            if (!reason) {
                m_path = candidate;
                return std::nullopt;
            }
            if (error != EEXIST)
                break;
        }
        return reason;
    }

    int Descriptor() const { return m_fd; }
    const fs::path& Path() const { return m_path; }

    Reason Close() {
        const int fd = std::exchange(m_fd, -1);
        return closeFile(fd);
    }
    void Keep() { m_path.clear(); } // it has become the target

private:
    int m_fd = -1;
    fs::path m_path;
};

Reason writeAll(int fd, std::string_view bytes) {
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
    return std::nullopt;
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& path) {
    auto failed = [&](std::string reason) { return FileError{"read", path, std::move(reason)}; };
    int fd = -1;
    if (Reason reason = openForReading(toPath(path), fd))
        return failed(*reason);

    std::string data;
    Reason reason;
    bool isDirectory = false;
    std::size_t expected = 0;
    if ((reason = describeOpenFile(fd, isDirectory, expected))) {
    } else if (isDirectory) {
        reason = errnoText(EISDIR);
    } else {
        // One byte more than expected, so that the end shows without growing the buffer
        // (files of size 0 in /proc and the like still read, as the buffer grows).
        data.resize(expected + 1);
        std::size_t got = 0;
        for (;;) {
            if (got == data.size())
                data.resize(data.size() * 2);
            const long n = readSome(fd, data.data() + got, data.size() - got);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                reason = errnoText(errno);
                break;
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        data.resize(got);
    }
    Reason closeReason = closeFile(fd);
    if (reason)
        return failed(*reason);
    if (closeReason)
        return failed(*closeReason);
    return data;
}

Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 const std::string& action) {
    auto failed = [&](std::string reason) { return FileError{action, path, std::move(reason)}; };

    fs::path target;
    if (Reason reason = resolveLinks(toPath(path), target))
        return failed(*reason);

    FileFacts old;
    if (Reason reason = inspect(target, old))
        return failed(*reason);
    if (old.exists) {
        if (old.isDirectory)
            return failed(errnoText(EISDIR));
        if (!old.isRegular)
            return failed("it is not a regular file");
        if (old.readOnly)
            return failed("the file is read-only");
        if (Reason reason = checkWritable(target))
            return failed(*reason);
    }

    const fs::path folder = target.parent_path();
    TemporaryFile temporary;
    if (Reason reason = temporary.Create(folder, target.filename()))
        return failed(*reason);
    if (Reason reason = writeAll(temporary.Descriptor(), bytes))
        return failed(*reason);
    if (old.exists)
        if (Reason reason = copyOwnerAndPermissions(temporary.Descriptor(), old))
            return failed(*reason);
    if (Reason reason = syncFile(temporary.Descriptor()))
        return failed(*reason);
    if (Reason reason = temporary.Close())
        return failed(*reason);
    if (Reason reason = replaceFile(temporary.Path(), target))
        return failed(*reason);
    temporary.Keep();
    syncFolder(folder);
    return {};
}

Result<void> CreateEmptyFileIfMissing(const std::string& path) {
    auto failed = [&](std::string reason) { return FileError{"create", path, std::move(reason)}; };
    const fs::path target = toPath(path);
    int fd = -1;
    int error = 0;
    if (Reason reason = createExclusive(target, fd, error)) {
        if (error != EEXIST)
            return failed(*reason);
        // Something of that name is there already; a file is left as it is.
        FileFacts facts;
        if (Reason inspectReason = inspect(target, facts))
            return failed(*inspectReason);
        if (facts.isDirectory)
            return failed(errnoText(EISDIR));
        return {};
    }
    if (Reason reason = closeFile(fd)) {
        (void)removeFile(target);
        return failed(*reason);
    }
    return {};
}

Result<void> DeleteFile(const std::string& path) {
    if (Reason reason = removeFile(toPath(path)))
        return FileError{"delete", path, *reason};
    return {};
}

void SetFileCallsForTesting(const FileCallsForTesting& calls) {
    testCalls = calls;
}
