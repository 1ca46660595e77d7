#include "folderfiles.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

Result<FolderFiles> FolderFiles::Read(const std::string& folder) {
    FolderFiles files;
    const fs::path path(std::u8string(folder.begin(), folder.end()));
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored; // an entry that cannot be examined is no file of ours
        if (!it->is_regular_file(ignored))
            continue;
        std::string name = toUtf8(it->path().filename());
        files.m_lowerNames.insert(asciiLower(name));
        files.m_names.insert(std::move(name));
    }
    if (error)
        return FileError{"read the game folder", folder, error.message()};
    return files;
}

FilePresence FolderFiles::Lookup(const std::string& name) const {
    if (m_names.contains(name))
        return FilePresence::Exists;
    if (m_lowerNames.contains(asciiLower(name)))
        return FilePresence::OtherCase;
    return FilePresence::Missing;
}
