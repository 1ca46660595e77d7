#pragma once

#include "core/levelcheck.h"
#include "core/result.h"

#include <string>
#include <unordered_set>

namespace level {

// The names of the regular files in one folder (the game folder), read once, to look up the
// files a level names: ship, base and win files lie directly in the game folder.
class FolderFiles {
public:
    // The names of the files in folder, or why the folder cannot be read. Names are held as
    // text the way a level's rows hold them (UTF-8): a name that is not UTF-8 is read as
    // Windows-1252, as the game reads its own names. Entries that are no regular file (or link
    // to one) are left out.
    static Result<FolderFiles> Read(const std::string& folder);

    // Whether name is there: exactly, only in other letter case (ASCII), or not at all.
    FilePresence Lookup(const std::string& name) const;

private:
    std::unordered_set<std::string> m_names;
    std::unordered_set<std::string> m_lowerNames;
};

} // namespace level
