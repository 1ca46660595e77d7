#pragma once

#include "core/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace level {

// What ReadWholeFile takes in at most, and how it says that a file is beyond that.
struct ReadLimits {
    std::size_t maxBytes = 0;      // a larger file is refused before anything is read
    const char* tooLarge = "";     // the reason then given
    std::size_t maxLineEnds = 0;   // reading stops at one line end more (CR LF, LF or CR)...
    const char* tooManyLines = ""; // ...and the file is refused with this reason
};

// Reads a whole regular file into memory. Anything else (a folder, a FIFO, a device, a socket)
// is refused without waiting for it, and so is a file beyond the limits, so no file can hold the
// program or exhaust its memory.
Result<std::string> ReadWholeFile(const std::string& path, const ReadLimits& limits);

// Replaces the file at path by bytes without ever destroying the old file: writes a temporary
// file in the target's own folder, checks every write, flushes it to disk, gives it the old
// file's owner, group and permission bits as far as this user may (see platform/fileplatform.h),
// and renames it over the target. A symbolic link is followed, so the link survives and its target
// is replaced; a hard link is split (the other names keep the old content). An existing target
// whose permission bits grant no write to anyone is refused before anything is written.
//
// The temporary file is readable by this user alone until it is complete. It is named
// ".<name>.part-<random>" beside the target, on Linux only just before the rename, elsewhere from
// the start, and the save holds a lock on it while it runs. A crash can leave it behind; the
// next save of the target removes such files that this user owns and that no running save
// holds, or, where the system has no such locks (Windows), those older than a day.
//
// On Windows the read-only attribute is what refuses, the hidden and system attributes are kept,
// a target that another program holds open is tried again for about a second, and a symbolic
// link whose target does not exist is refused (elsewhere its target is created).
//
// On any failure the old file is untouched and the temporary file is gone. `action` names the
// operation in the error ("save"). With FileAccess::OwnerOnly the new file is readable and
// writable by this user alone (0600), whatever the old one allowed.
enum class FileAccess { AsBefore, OwnerOnly };
Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 const std::string& action = "save",
                                 FileAccess access = FileAccess::AsBefore);

// Creates an empty file unless one exists already; an existing file is left untouched. A
// symbolic link whose target does not exist is refused, with that as the reason.
Result<void> CreateEmptyFileIfMissing(const std::string& path);

// Deletes a file.
Result<void> RemoveFile(const std::string& path);

// Test seams: each one that is set stands in for the system's call wherever this file layer
// writes, flushes (files and, after a replace, their folder), closes or reads a file, so tests can
// make any of them fail. write and read return the number of bytes written or read; sync and
// close return 0; on failure each returns -1 with errno set.
struct FileCallsForTesting {
    long (*write)(int fd, const void* data, std::size_t size) = nullptr;
    int (*sync)(int fd) = nullptr;
    int (*close)(int fd) = nullptr;
    bool namedTemporaryFiles = false; // as on systems without unnamed files
    // Called with the temporary file's path just before it replaces the target.
    void (*beforeReplace)(const std::string& temporaryPath) = nullptr;
    long (*read)(int fd, void* data, std::size_t size) = nullptr;
};
void SetFileCallsForTesting(const FileCallsForTesting& calls); // {} restores the system's

} // namespace level
