#include "core/foldernames.h"

#include "core/platform/fileplatform.h"
#include "core/windows1252.h"

#include <filesystem>
#include <new>
#include <system_error>

namespace level {

namespace fs = std::filesystem;
using fileplatform::toPath;
using fileplatform::toUtf8;

Result<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
    try {
        const fs::path where = toPath(folder);
        std::vector<fs::path> names;
        if (fileplatform::Outcome reason = fileplatform::listNames(where, names); !reason)
            return FileError{"read the folder", folder, reason.error()};
        std::vector<FolderEntry> entries;
        entries.reserve(names.size());
        for (const fs::path& name : names) {
            FolderEntry entry;
            entry.name = toUtf8(name);
            // A link that leads nowhere, or a name that cannot be looked at, is simply neither.
            fileplatform::FileFacts facts;
            (void)fileplatform::inspect(where / name, facts);
            entry.isFolder = facts.isDirectory;
            entry.isFile = facts.isRegular;
            entries.push_back(std::move(entry));
        }
        return entries;
    } catch (const std::bad_alloc&) {
        return FileError{"read the folder", folder, "not enough memory"};
    }
}

std::string AsciiLower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string NameForDisplay(std::string_view bytes) {
    return IsUtf8(bytes) ? std::string(bytes) : DecodeWindows1252(bytes);
}

std::string CleanFolderPath(const std::string& folder) {
    std::error_code error;
    fs::path path = fs::absolute(toPath(folder), error);
    if (error)
        path = toPath(folder);
    path = path.lexically_normal();
    // "/a/b/" comes out as "/a/b/" with an empty last part: only a root keeps its separator.
    if (!path.has_filename() && path != path.root_path())
        path = path.parent_path();
    return toUtf8(path);
}

std::vector<std::string> FolderChain(const std::string& folder) {
    std::vector<std::string> chain;
    fs::path path = toPath(folder);
    for (;;) {
        chain.insert(chain.begin(), toUtf8(path));
        const fs::path parent = path.parent_path();
        if (parent.empty() || parent == path)
            break;
        path = parent;
    }
    return chain;
}

std::string LastPart(const std::string& path) {
    const fs::path name = toPath(path).filename();
    return name.empty() ? path : toUtf8(name);
}

std::string PathForDisplay(std::string_view path) {
    if (IsUtf8(path))
        return std::string(path);
    std::string shown;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = path.size();
        shown += NameForDisplay(path.substr(start, end - start));
        if (end < path.size())
            shown += path[end];
        start = end + 1;
    }
    return shown;
}

} // namespace level
