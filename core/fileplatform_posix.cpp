// The file functions of POSIX systems (Linux, macOS).

#include "fileplatform.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
Reason resolveLinks(const fs::path& link, fs::path& resolved) {
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
    return std::nullopt;
}

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

} // namespace fileplatform
