#pragma once

#include "fileerror.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Reads a whole file into memory.
std::optional<FileError> ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces the file at path by bytes without ever destroying the old file: writes a temporary
// file in the target's own folder, checks every write, flushes it to disk, gives it the old
// file's permission bits, and renames it over the target. A symbolic link is followed, so the
// link survives and its target is replaced. An existing target whose permission bits grant no
// write to anyone is refused before anything is written. On any failure the old file is
// untouched and the temporary file is gone. `action` names the operation in the error ("save").
std::optional<FileError> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                             const std::string& action = "save");

// Creates an empty file unless one exists already; an existing file is left untouched.
std::optional<FileError> CreateEmptyFileIfMissing(const std::string& path);

// Deletes a file.
std::optional<FileError> DeleteFile(const std::string& path);

// Test seam: when set, the writer calls this instead of the system's write for the temporary
// file. It returns the number of bytes written, or -1 with errno set.
using WriteFunction = long (*)(int fd, const void* data, std::size_t size);
void SetWriteFunctionForTesting(WriteFunction function); // nullptr restores the system's
