// The file functions of Windows.

#include "core/platform/fileplatform.h"

#include <cerrno>
#include <iterator>
#include <string_view>
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

namespace level {

namespace fileplatform {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// Bytes that are no UTF-8 become U+FFFD, so such a path names no file instead of throwing.
fs::path toPath(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return fs::path(wide);
}

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

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

// Windows' older calls refuse a path of MAX_PATH (260) characters or more, and a folder of 248
// or more, unless it is written in the "\\?\" form, which the system takes as it stands: in
// full, with backslashes and without "." or "..". A long path is given to the system that way.
std::wstring systemName(const fs::path& path) {
    const std::wstring& text = path.native();
    constexpr std::size_t shortest = 248;
    if (text.size() < shortest || text.starts_with(L"\\\\?\\"))
        return text;
    std::wstring full(32768, L'\0');
    const DWORD length =
        GetFullPathNameW(text.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return text;
    full.resize(length);
    if (full.starts_with(L"\\\\")) // \\server\share\...
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Windows says "not found" of a missing file and of a path whose folder is missing alike.
bool isNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool isFolder(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(systemName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The full name of an open file as the system has it, following every link on the way.
Outcome finalName(HANDLE file, fs::path& name) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, text.data(), static_cast<DWORD>(text.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return windowsText(GetLastError());
        if (length < text.size()) {
            text.resize(length);
            name = fs::path(text);
            return {};
        }
        text.resize(length); // too short: length is the size it needs
    }
    return windowsText(ERROR_INSUFFICIENT_BUFFER);
}

} // namespace

Outcome resolveLinks(const fs::path& path, fs::path& resolved) {
    resolved = path;
    const DWORD attributes = GetFileAttributesW(systemName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return {}; // no link: the path itself is meant
    // Opening follows the link (and a chain of them) to the file finally meant.
    HANDLE file = CreateFileW(systemName(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (isNotFound(error))
            return "it is a symbolic link to a file that does not exist";
        return windowsText(error);
    }
    Outcome reason = finalName(file, resolved);
    CloseHandle(file);
    return reason;
}

Outcome inspect(const fs::path& path, FileFacts& facts) {
    facts = FileFacts{};
    const DWORD attributes = GetFileAttributesW(systemName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (isNotFound(error))
            return {}; // a missing folder shows when the temporary file is made
        return windowsText(error);
    }
    facts.exists = true;
    facts.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.isRegular = !facts.isDirectory && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    facts.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.permissions = attributes;
    return {};
}

Outcome checkWritable(const fs::path&) {
    return {};
}

Outcome openForReading(const fs::path& path, int& fd) {
    fd = _wopen(systemName(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd >= 0)
        return {};
    // Windows opens no folder this way and says "Permission denied" of one.
    const int error = errno == EACCES && isFolder(path) ? EISDIR : errno;
    return errnoText(error);
}

// Windows has no permission bits to give: every new file can be read and written.
Outcome createExclusive(const fs::path& path, unsigned, int& fd, int& error) {
    fd = _wopen(systemName(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
        error = 0;
        return {};
    }
    // A folder of that name is something that exists, whatever Windows reports of it.
    error = errno == EACCES && isFolder(path) ? EEXIST : errno;
    return errnoText(error);
}

bool createUnnamed(const fs::path&, int& fd) {
    fd = -1;
    return false;
}

Outcome nameUnnamed(int, const fs::path&) {
    return errnoText(ENOSYS);
}

// Windows refuses to delete a file that a running save holds open; leftovers are told by their
// age instead (see diskfiles.cpp).
int holdInUse(int) {
    return -1;
}

bool isStillNamed(int, const fs::path&) {
    return true;
}

Leftover removeIfAbandoned(const fs::path&) {
    return Leftover::Unknown;
}

Outcome describeOpenFile(int fd, FileKind& kind, std::size_t& size) {
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0)
        return errnoText(errno);
    kind = (st.st_mode & _S_IFMT) == _S_IFREG   ? FileKind::Regular
           : (st.st_mode & _S_IFMT) == _S_IFDIR ? FileKind::Directory
                                                : FileKind::Other;
    size = static_cast<std::size_t>(st.st_size);
    return {};
}

long readSome(int fd, void* data, std::size_t size) {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    return _read(fd, data, chunk);
}

long systemWrite(int fd, const void* data, std::size_t size) {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    return _write(fd, data, chunk);
}

// Windows files have no owner bits to copy here; what a replaced file keeps are its hidden and
// system attributes (a new file has neither). Read-only targets are refused before this.
Outcome copyOwnerAndPermissions(int fd, const FileFacts& old) {
    const DWORD kept = old.permissions & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept == 0)
        return {};
    FILE_BASIC_INFO info{}; // times of zero stay as they are
    info.FileAttributes = kept | FILE_ATTRIBUTE_ARCHIVE;
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (!SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info))
        return windowsText(GetLastError());
    return {};
}

Outcome applyNewFilePermissions(int) {
    return {};
}

Outcome applyPrivatePermissions(int) {
    return {};
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

// Another program that has the target open (the game, a virus scanner, an indexer) makes the
// replace fail with "access denied" or a sharing violation for as long as it holds the file.
// Such a hold is often short: the replace is tried again for about a second before the failure
// is reported. The old file stays as it is while the replace fails.
Outcome replaceFile(const fs::path& from, const fs::path& to) {
    static constexpr DWORD pauses[] = {10, 20, 40, 80, 150, 300, 400}; // milliseconds, 1 s in all
    for (std::size_t attempt = 0;; ++attempt) {
        if (MoveFileExW(systemName(from).c_str(), systemName(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD error = GetLastError();
        const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                          error == ERROR_LOCK_VIOLATION;
        if (!held || attempt == std::size(pauses))
            return windowsText(error);
        Sleep(pauses[attempt]);
    }
}

int openFolder(const fs::path&) {
    return -1; // MOVEFILE_WRITE_THROUGH has flushed the rename
}

Outcome removeFile(const fs::path& path) {
    return _wunlink(systemName(path).c_str()) != 0 ? Outcome(errnoText(errno)) : Outcome();
}

Outcome listNames(const fs::path& folder, std::vector<fs::path>& names) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(systemName(folder / L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return windowsText(GetLastError());
    struct Closer {
        HANDLE find;
        ~Closer() { FindClose(find); }
    } closer{find};
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            names.emplace_back(name);
    } while (FindNextFileW(find, &found));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? Outcome() : Outcome(windowsText(error));
}

unsigned long processId() {
    return static_cast<unsigned long>(_getpid());
}

Outcome userStateFolder(fs::path& folder) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || !*local)
        return std::string("LOCALAPPDATA names no folder");
    folder = fs::path(local);
    return {};
}

Outcome createPrivateFolders(const fs::path& folder) {
    if (folder.empty() || folder == folder.root_path())
        return {};
    const DWORD attributes = GetFileAttributesW(systemName(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Outcome() : Outcome(errnoText(ENOTDIR));
    if (Outcome parent = createPrivateFolders(folder.parent_path()); !parent)
        return parent;
    if (!CreateDirectoryW(systemName(folder).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        return windowsText(GetLastError());
    return {};
}

// Opened without sharing, the file cannot be opened again, by this process or another, while the
// handle lives; the system closes it, and so deletes the file, when the process ends.
Outcome takeLock(const fs::path& path, Lock& lock, bool& busy) {
    lock = NoLock;
    busy = false;
    const HANDLE file =
        CreateFileW(systemName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
            busy = true;
            return {};
        }
        return windowsText(error);
    }
    lock = reinterpret_cast<Lock>(file);
    return {};
}

void releaseLock(Lock lock) {
    if (lock != NoLock)
        CloseHandle(reinterpret_cast<HANDLE>(lock));
}

} // namespace fileplatform

} // namespace level
