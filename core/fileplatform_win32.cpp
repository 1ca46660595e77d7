// The file functions of Windows.

#include "fileplatform.h"

#include <cerrno>
#include <system_error>

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

// Windows has no permission bits to give: every new file can be read and written.
Reason createExclusive(const fs::path& path, unsigned, int& fd, int& error) {
    fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
    error = fd < 0 ? errno : 0;
    return fd < 0 ? Reason(errnoText(error)) : std::nullopt;
}

bool createUnnamed(const fs::path&, int& fd) {
    fd = -1;
    return false;
}

Reason nameUnnamed(int, const fs::path&) {
    return errnoText(ENOSYS);
}

Reason describeOpenFile(int fd, FileKind& kind, std::size_t& size) {
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0)
        return errnoText(errno);
    kind = (st.st_mode & _S_IFMT) == _S_IFREG   ? FileKind::Regular
           : (st.st_mode & _S_IFMT) == _S_IFDIR ? FileKind::Directory
                                                : FileKind::Other;
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

Reason applyNewFilePermissions(int) {
    return std::nullopt;
}

unsigned currentUser() {
    return 0;
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

} // namespace fileplatform
