#pragma once

// The operating system's file functions that the file layer (diskfiles.cpp, foldernames.cpp) use,
// each behind one small function. fileplatform_posix.cpp and fileplatform_win32.cpp implement them;
// CMake builds the one for the platform. Paths are std::filesystem paths; a function that can fail
// returns an Outcome: success, or the system's reason, read like every Result of the core.

#include "core/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace level {

namespace fileplatform {

namespace fs = std::filesystem;

// The outcome of one step: success, or the system's reason ("Permission denied").
using Outcome = Result<void, std::string>;

// The text of an errno value ("No such file or directory").
std::string errnoText(int error);

// UTF-8 text to a path and back (a path names the exact bytes the system uses).
fs::path toPath(const std::string& utf8);
std::string toUtf8(const fs::path& path);

// The file that path finally means, following symbolic links. On POSIX systems a link whose
// target is missing yields the path it points to; on Windows it is refused.
Outcome resolveLinks(const fs::path& path, fs::path& resolved);

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

// What an open file is.
enum class FileKind { Regular, Directory, Other };

// Facts of the file at path, following links; a missing file is no failure (exists is false).
Outcome inspect(const fs::path& path, FileFacts& facts);
// Whether this process may write the file itself, as a direct write would need.
Outcome checkWritable(const fs::path& path);
// Opens a file for reading without waiting for it: a FIFO without a writer, or a device, opens
// at once (and is then told apart by describeOpenFile).
Outcome openForReading(const fs::path& path, int& fd);
// A new file that must not exist yet, with the permission bits mode (less the umask); error
// receives the errno value on failure.
Outcome createExclusive(const fs::path& path, unsigned mode, int& fd, int& error);
// A new file in folder that has no name yet, readable and writable by this user alone; a crash
// leaves nothing behind. False when the system or its file system has no such files.
bool createUnnamed(const fs::path& folder, int& fd);
// Gives a file made by createUnnamed the name path, which must not exist yet.
Outcome nameUnnamed(int fd, const fs::path& path);
// Marks the open temporary file of a running save as in use: a lock on the open file, held by a
// second descriptor of it that this returns, so that it outlasts closing fd. The system drops
// the lock when the descriptor is closed or the process ends, however it ends. -1 where the
// system or the file system has no such locks.
int holdInUse(int fd);
// Whether the temporary file at path still is the open file fd (no one has removed it).
bool isStillNamed(int fd, const fs::path& path);
// What became of a temporary file of a save that removeIfAbandoned looked at.
enum class Leftover {
    Removed, // a regular file of this user that no running save held (holdInUse): a crash's
    Kept,    // in use by a running save, someone else's, no regular file, or not to be opened
    Unknown, // whether a save holds it cannot be told here (no locks); nothing was removed
};
Leftover removeIfAbandoned(const fs::path& path);
Outcome describeOpenFile(int fd, FileKind& kind, std::size_t& size);
long readSome(int fd, void* data, std::size_t size);
// The system's write, flush to disk and close: 0 (or the bytes written) or -1 with errno set.
long systemWrite(int fd, const void* data, std::size_t size);
int systemSync(int fd);
int systemClose(int fd);
// Gives a new file the owner, group and permission bits of the file it replaces, as far as this
// user may: the owner where allowed, else at least the group where allowed (a member of the group
// may keep it); when the owner cannot be kept, the setuid and setgid bits are dropped. On
// Windows: the hidden and system attributes.
Outcome copyOwnerAndPermissions(int fd, const FileFacts& old);
// Gives a new file the permission bits an ordinary new file gets (0666 less the umask).
Outcome applyNewFilePermissions(int fd);
// Makes a file readable and writable by this user alone (0600). On Windows nothing: the files
// this applies to lie in the user's own profile.
Outcome applyPrivatePermissions(int fd);
// The user this process acts as (its files' owner).
unsigned currentUser();
// Renames from over to in one step (on Windows tried again for a while when another program
// holds the target open).
Outcome replaceFile(const fs::path& from, const fs::path& to);
// The folder opened for flushing a rename in it to disk (with systemSync), or -1 where the system
// does not need that (Windows: the rename is written through) or cannot.
int openFolder(const fs::path& folder);
Outcome removeFile(const fs::path& path);
// The names in a folder, without "." and "..". A want of memory is thrown as std::bad_alloc;
// std::filesystem's directory iterator would end the program on it instead.
Outcome listNames(const fs::path& folder, std::vector<fs::path>& names);
unsigned long processId();

// The folder for this user's state: $XDG_STATE_HOME when it is an absolute path, else
// ~/.local/state on POSIX systems; %LOCALAPPDATA% on Windows.
Outcome userStateFolder(fs::path& folder);
// Creates folder and its missing parents, the new ones accessible to this user alone; an existing
// folder is left as it is.
Outcome createPrivateFolders(const fs::path& folder);
// A lock on the file at path (created, readable by this user alone, when missing) that lasts
// until releaseLock, or until the process ends, however it ends: on POSIX systems an flock on it,
// on Windows the file held open without sharing (removed when the process lets go of it). busy
// is set when another open of the file holds the lock, also one of this process; the lock is
// then not taken and the outcome is success.
using Lock = std::intptr_t;
inline constexpr Lock NoLock = -1;
Outcome takeLock(const fs::path& path, Lock& lock, bool& busy);
void releaseLock(Lock lock);

} // namespace fileplatform

} // namespace level
