#pragma once

#include "core/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace level {

// The names in a folder as the system holds them: exact bytes, which need not be UTF-8 (a name
// copied from a game folder made on Windows is often Windows-1252). Browsing works on these
// bytes, so every file can be loaded, saved and deleted by its own name; people see the name as
// NameForDisplay gives it.

struct FolderEntry {
    std::string name;      // the exact bytes of the name
    bool isFolder = false; // a folder, or a symbolic link to one
    bool isFile = false;   // a regular file, or a symbolic link to one
};

// The entries of a folder, without "." and "..", in the order the system gives them. A symbolic
// link counts as what it leads to; one that leads nowhere, or to a device or FIFO, is neither a
// folder nor a file.
Result<std::vector<FolderEntry>> ListFolder(const std::string& folder);

// An absolute folder path without "." and ".." parts and without a final separator (a root
// keeps its own: "/", "C:\\").
std::string CleanFolderPath(const std::string& folder);

// The folders from the root down to folder (a clean path), each as a path: "/", "/home",
// "/home/jo".
std::vector<std::string> FolderChain(const std::string& folder);

// The last part of a path, its name ("jo" of "/home/jo"); a root is its own name.
std::string LastPart(const std::string& path);

// The name with its ASCII letters in lower case and every other byte as it is: names compared
// this way match whatever the letter case of their ASCII letters.
std::string AsciiLower(std::string_view name);

// A name as text to show: the name itself when it is UTF-8, else its bytes read as Windows-1252.
std::string NameForDisplay(std::string_view bytes);
// A path as text to show: each of its parts as NameForDisplay gives it.
std::string PathForDisplay(std::string_view path);

} // namespace level
