#pragma once

#include "levelcheck.h"
#include "result.h"

#include <string>
#include <unordered_set>

// The names of the regular files in one folder (the game folder), read once, to look up the
// files a level names: ship, base and win files lie directly in the game folder.
class FolderFiles {
public:
    // The names in folder (UTF-8), or why the folder cannot be read. Entries that are no
    // regular file, or that cannot be examined, are left out.
    static Result<FolderFiles> Read(const std::string& folder);

    // Whether name is there: exactly, only in other letter case (ASCII), or not at all.
    FilePresence Lookup(const std::string& name) const;

private:
    std::unordered_set<std::string> m_names;
    std::unordered_set<std::string> m_lowerNames;
};
