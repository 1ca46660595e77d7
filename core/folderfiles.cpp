#include "core/folderfiles.h"

#include "core/foldernames.h"

namespace level {

Result<FolderFiles> FolderFiles::Read(const std::string& folder) {
    auto entries = ListFolder(folder);
    if (!entries)
        return FileError{"read the game folder", folder, entries.error().reason};
    FolderFiles files;
    for (const FolderEntry& entry : *entries) {
        if (!entry.isFile)
            continue;
        std::string name = NameForDisplay(entry.name);
        files.m_lowerNames.insert(AsciiLower(name));
        files.m_names.insert(std::move(name));
    }
    return files;
}

FilePresence FolderFiles::Lookup(const std::string& name) const {
    if (m_names.contains(name))
        return FilePresence::Exists;
    if (m_lowerNames.contains(AsciiLower(name)))
        return FilePresence::OtherCase;
    return FilePresence::Missing;
}

} // namespace level
