// The file functions of POSIX systems (Linux, macOS).

#include "core/platform/fileplatform.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace level {

namespace fileplatform {

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

// Follows a chain of links one by one, so that a dangling link yields the path it points to.
Outcome resolveLinks(const fs::path& link, fs::path& resolved) {
    fs::path path = link;
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
    return {};
}

Outcome inspect(const fs::path& path, FileFacts& facts) {
    facts = FileFacts{};
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? Outcome() : Outcome(errnoText(errno));
    facts.exists = true;
    facts.isDirectory = S_ISDIR(st.st_mode);
    facts.isRegular = S_ISREG(st.st_mode);
    facts.readOnly = (st.st_mode & 0222) == 0;
    facts.permissions = static_cast<unsigned>(st.st_mode & 07777);
    facts.owner = static_cast<unsigned>(st.st_uid);
    facts.group = static_cast<unsigned>(st.st_gid);
    return {};
}

Outcome checkWritable(const fs::path& path) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return errnoText(errno);
    return {};
}

Outcome openForReading(const fs::path& path, int& fd) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer, and some devices wait too.
    fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENXIO ? Outcome("it is not a regular file") : Outcome(errnoText(errno));
    // Reads of a regular file never wait anyway; nothing else is read at all.
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return {};
}

Outcome createExclusive(const fs::path& path, unsigned mode, int& fd, int& error) {
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
              static_cast<mode_t>(mode));
    error = fd < 0 ? errno : 0;
    return fd < 0 ? Outcome(errnoText(error)) : Outcome();
}

bool createUnnamed([[maybe_unused]] const fs::path& folder, int& fd) {
#ifdef O_TMPFILE
    fd = open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    return fd >= 0;
#else
    fd = -1;
    return false;
#endif
}

Outcome nameUnnamed(int fd, const fs::path& path) {
#ifdef __linux__
    // Through /proc any user may link an unnamed file; AT_EMPTY_PATH needs a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return {};
    const int error = errno;
    if (linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
        return {};
    return errnoText(error);
#else
    (void)fd;
    (void)path;
    return errnoText(ENOTSUP);
#endif
}

// flock locks belong to the open file, so the duplicate shares the lock, and another save's
// open of the same file conflicts with it, also within this process.
int holdInUse(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return -1;
    const int holder = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (holder < 0)
        (void)flock(fd, LOCK_UN);
    return holder;
}

bool isStillNamed(int fd, const fs::path& path) {
    struct stat open;
    struct stat named;
    return fstat(fd, &open) == 0 && lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

Leftover removeIfAbandoned(const fs::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Leftover::Kept;
    Leftover result = Leftover::Kept;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Locked by this process now, so no save can take it up again before it is gone.
            if (isStillNamed(fd, path) && unlink(path.c_str()) == 0)
                result = Leftover::Removed;
        } else if (errno != EWOULDBLOCK && errno != EINTR) {
            result = Leftover::Unknown; // this file system has no such locks
        }
    }
    close(fd);
    return result;
}

Outcome describeOpenFile(int fd, FileKind& kind, std::size_t& size) {
    struct stat st;
    if (fstat(fd, &st) != 0)
        return errnoText(errno);
    kind = S_ISREG(st.st_mode)   ? FileKind::Regular
           : S_ISDIR(st.st_mode) ? FileKind::Directory
                                 : FileKind::Other;
    size = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    return {};
}

long readSome(int fd, void* data, std::size_t size) {
    return static_cast<long>(read(fd, data, size));
}

long systemWrite(int fd, const void* data, std::size_t size) {
    return static_cast<long>(write(fd, data, size));
}

Outcome copyOwnerAndPermissions(int fd, const FileFacts& old) {
    // Only a privileged process may give a file away; an ordinary user's save makes the file
    // theirs, as any editor's does. The group is tried on its own: a member of the old file's
    // group may keep it, so the rest of the group can still write the file.
    const auto owner = static_cast<uid_t>(old.owner);
    const auto group = static_cast<gid_t>(old.group);
    if (fchown(fd, owner, group) != 0 && fchown(fd, static_cast<uid_t>(-1), group) != 0) {
        // neither permitted: the file gets this user's own group
    }
    struct stat st;
    if (fstat(fd, &st) != 0)
        return errnoText(errno);
    auto mode = static_cast<mode_t>(old.permissions);
    // A program that runs as its owner must not come to run as someone else.
    if (st.st_uid != owner)
        mode &= static_cast<mode_t>(~(S_ISUID | S_ISGID));
    if (fchmod(fd, mode) != 0)
        return errnoText(errno);
    return {};
}

namespace {

// The process's umask. Linux tells it in /proc without changing it; elsewhere it is read by
// setting it and putting it back at once.
mode_t currentUmask() {
#ifdef __linux__
    const int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        std::string status;
        char buffer[4096];
        for (long n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            status.append(buffer, static_cast<std::size_t>(n));
        close(fd);
        constexpr std::string_view key = "\nUmask:";
        if (const std::size_t at = status.find(key); at != std::string::npos) {
            mode_t mask = 0;
            std::size_t i = at + key.size();
            while (i < status.size() && (status[i] == ' ' || status[i] == '\t'))
                ++i;
            const std::size_t digits = i;
            for (; i < status.size() && status[i] >= '0' && status[i] <= '7'; ++i)
                mask = static_cast<mode_t>(mask * 8 + static_cast<mode_t>(status[i] - '0'));
            if (i > digits)
                return mask & 0777;
        }
    }
#endif
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

Outcome applyNewFilePermissions(int fd) {
    const mode_t mask = currentUmask();
    if (fchmod(fd, static_cast<mode_t>(0666 & ~mask)) != 0)
        return errnoText(errno);
    return {};
}

Outcome applyPrivatePermissions(int fd) {
    if (fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return errnoText(errno);
    return {};
}

unsigned currentUser() {
    return static_cast<unsigned>(geteuid());
}

int systemSync(int fd) {
    return fsync(fd);
}

int systemClose(int fd) {
    return close(fd);
}

Outcome replaceFile(const fs::path& from, const fs::path& to) {
    return rename(from.c_str(), to.c_str()) != 0 ? Outcome(errnoText(errno)) : Outcome();
}

int openFolder(const fs::path& folder) {
    return open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Outcome removeFile(const fs::path& path) {
    return unlink(path.c_str()) != 0 ? Outcome(errnoText(errno)) : Outcome();
}

Outcome listNames(const fs::path& folder, std::vector<fs::path>& names) {
    DIR* const dir = opendir(folder.c_str());
    if (!dir)
        return errnoText(errno);
    struct Closer {
        DIR* dir;
        ~Closer() { closedir(dir); }
    } closer{dir};
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry)
            break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    return errno != 0 ? Outcome(errnoText(errno)) : Outcome();
}

unsigned long processId() {
    return static_cast<unsigned long>(getpid());
}

Outcome userStateFolder(fs::path& folder) {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
        folder = state;
        return {};
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return std::string("neither XDG_STATE_HOME nor HOME names a folder");
    folder = fs::path(home) / ".local" / "state";
    return {};
}

Outcome createPrivateFolders(const fs::path& folder) {
    if (folder.empty() || folder == folder.root_path())
        return {};
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? Outcome() : Outcome(errnoText(ENOTDIR));
    if (Outcome parent = createPrivateFolders(folder.parent_path()); !parent)
        return parent;
    if (mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return errnoText(errno);
    return {};
}

Outcome takeLock(const fs::path& path, Lock& lock, bool& busy) {
    lock = NoLock;
    busy = false;
    const int fd =
        open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return errnoText(errno);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR)
            continue;
        close(fd);
        if (error == EWOULDBLOCK) {
            busy = true;
            return {};
        }
        return errnoText(error);
    }
    lock = fd;
    return {};
}

void releaseLock(Lock lock) {
    if (lock != NoLock)
        close(static_cast<int>(lock)); // drops the flock with the last descriptor
}

} // namespace fileplatform

} // namespace level
