#pragma once

#include "result.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reads a whole file into memory.
Result<std::string> ReadWholeFile(const std::string& path);

// Replaces the file at path by bytes without ever destroying the old file: writes a temporary
// file in the target's own folder, checks every write, flushes it to disk, gives it the old
// file's permission bits, and renames it over the target. A symbolic link is followed, so the
// link survives and its target is replaced. An existing target whose permission bits grant no
// write to anyone is refused before anything is written. On any failure the old file is
// untouched and the temporary file is gone. `action` names the operation in the error ("save").
// On Windows the read-only attribute is what refuses, the hidden and system attributes are
// kept, a target that another program holds open is tried again for about a second, and a
// symbolic link whose target does not exist is refused (elsewhere its target is created).
Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 const std::string& action = "save");

// Creates an empty file unless one exists already; an existing file is left untouched.
Result<void> CreateEmptyFileIfMissing(const std::string& path);

// Deletes a file.
Result<void> DeleteFile(const std::string& path);

// Test seams: each one that is set stands in for the system's call wherever this file layer
// writes, flushes or closes a file, so tests can make any of them fail. write returns the number of
// bytes written; sync and close return 0; on failure each returns -1 with errno set.
struct FileCallsForTesting {
    long (*write)(int fd, const void* data, std::size_t size) = nullptr;
    int (*sync)(int fd) = nullptr;
    int (*close)(int fd) = nullptr;
};
void SetFileCallsForTesting(const FileCallsForTesting& calls); // {} restores the system's
