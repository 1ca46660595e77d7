#include "atomicfile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
// <windows.h> names its own DeleteFile as a macro; ours is a plain function.
#undef DeleteFile
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using Reason = std::optional<std::string>; // empty when the step succeeded

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

fs::path toPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

FileCallsForTesting testCalls;

// What the writer needs to know about an existing file.
struct FileFacts {
    bool exists = false;
    bool isDirectory = false;
    bool isRegular = false;
    bool readOnly = false; // no write permission for anyone (or the read-only attribute)
    unsigned permissions = 0;
    unsigned owner = 0;
    unsigned group = 0;
};

// ---------------------------------------------------------------------------------------------
// The operating system's file functions, each behind one small function.
// ---------------------------------------------------------------------------------------------
#ifdef _WIN32

std::string windowsText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.'))
        text.pop_back();
    return toUtf8(fs::path(text));
}

Reason inspect(const fs::path& path, FileFacts& facts) {
    facts = FileFacts{};
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        return windowsText(error);
    }
    facts.exists = true;
    facts.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.isRegular = !facts.isDirectory && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    facts.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.permissions = attributes;
    return std::nullopt;
}

Reason checkWritable(const fs::path&) {
    return std::nullopt;
}

Reason openForReading(const fs::path& path, int& fd) {
    fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    return fd < 0 ? Reason(errnoText(errno)) : std::nullopt;
}

Reason createExclusive(const fs::path& path, int& fd, int& error) {
    fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
    error = fd < 0 ? errno : 0;
    return fd < 0 ? Reason(errnoText(error)) : std::nullopt;
}

Reason describeOpenFile(int fd, bool& isDirectory, std::size_t& size) {
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0)
        return errnoText(errno);
    isDirectory = (st.st_mode & _S_IFDIR) != 0;
    size = static_cast<std::size_t>(st.st_size);
    return std::nullopt;
}

long readSome(int fd, void* data, std::size_t size) {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    return _read(fd, data, chunk);
}

long systemWrite(int fd, const void* data, std::size_t size) {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    return _write(fd, data, chunk);
}

Reason copyOwnerAndPermissions(int, const FileFacts&) {
    return std::nullopt;
}

int systemSync(int fd) {
    return _commit(fd);
}

int systemClose(int fd) {
    return _close(fd);
}

Reason replaceFile(const fs::path& from, const fs::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return windowsText(GetLastError());
}

void syncFolder(const fs::path&) {} // MOVEFILE_WRITE_THROUGH has flushed the rename

Reason removeFile(const fs::path& path) {
    return _wunlink(path.c_str()) != 0 ? Reason(errnoText(errno)) : std::nullopt;
}

unsigned long processId() {
    return static_cast<unsigned long>(_getpid());
}

#else

Reason inspect(const fs::path& path, FileFacts& facts) {
    facts = FileFacts{};
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? std::nullopt : Reason(errnoText(errno));
    facts.exists = true;
    facts.isDirectory = S_ISDIR(st.st_mode);
    facts.isRegular = S_ISREG(st.st_mode);
    facts.readOnly = (st.st_mode & 0222) == 0;
    facts.permissions = static_cast<unsigned>(st.st_mode & 07777);
    facts.owner = static_cast<unsigned>(st.st_uid);
    facts.group = static_cast<unsigned>(st.st_gid);
    return std::nullopt;
}

// Whether this process may write the file itself, as a direct write would need.
Reason checkWritable(const fs::path& path) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return errnoText(errno);
    return std::nullopt;
}

Reason openForReading(const fs::path& path, int& fd) {
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? Reason(errnoText(errno)) : std::nullopt;
}

// A new file with the mode an ordinary create gives (0666 less the umask).
Reason createExclusive(const fs::path& path, int& fd, int& error) {
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    error = fd < 0 ? errno : 0;
    return fd < 0 ? Reason(errnoText(error)) : std::nullopt;
}

Reason describeOpenFile(int fd, bool& isDirectory, std::size_t& size) {
    struct stat st;
    if (fstat(fd, &st) != 0)
        return errnoText(errno);
    isDirectory = S_ISDIR(st.st_mode);
    size = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    return std::nullopt;
}

long readSome(int fd, void* data, std::size_t size) {
    return static_cast<long>(read(fd, data, size));
}

long systemWrite(int fd, const void* data, std::size_t size) {
    return static_cast<long>(write(fd, data, size));
}

Reason copyOwnerAndPermissions(int fd, const FileFacts& old) {
    // The owner can only be kept by a privileged process; an ordinary user's save makes the
    // file theirs, as any editor's does.
    if (fchown(fd, static_cast<uid_t>(old.owner), static_cast<gid_t>(old.group)) != 0) {
        // not permitted: the file becomes this user's own
    }
    if (fchmod(fd, static_cast<mode_t>(old.permissions)) != 0)
        return errnoText(errno);
    return std::nullopt;
}

int systemSync(int fd) {
    return fsync(fd);
}

int systemClose(int fd) {
    return close(fd);
}

Reason replaceFile(const fs::path& from, const fs::path& to) {
    return rename(from.c_str(), to.c_str()) != 0 ? Reason(errnoText(errno)) : std::nullopt;
}

// Makes the rename itself durable. Best effort: some file systems cannot sync a folder.
void syncFolder(const fs::path& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (fsync(fd) != 0) {
        // The new file's data is on disk already; only the rename may be replayed late.
    }
    close(fd);
}

Reason removeFile(const fs::path& path) {
    return unlink(path.c_str()) != 0 ? Reason(errnoText(errno)) : std::nullopt;
}

unsigned long processId() {
    return static_cast<unsigned long>(getpid());
}

#endif

// ---------------------------------------------------------------------------------------------

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

// Follows a chain of symbolic links to the file that is finally meant. A dangling link yields
// the path it points to.
Reason resolveLinks(fs::path path, fs::path& resolved) {
    for (int hops = 0;; ++hops) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (status.type() == fs::file_type::not_found)
            break;
        if (error)
            return error.message();
        if (!fs::is_symlink(status))
            break;
        if (hops == 40)
            return errnoText(ELOOP);
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return error.message();
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    resolved = std::move(path);
    return std::nullopt;
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
