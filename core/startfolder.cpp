#include "core/startfolder.h"

#include <filesystem>
#include <system_error>

namespace level {

namespace {

bool endsWithSeparator(const std::string& folder) {
    if (folder.empty())
        return false;
    const char last = folder.back();
#ifdef _WIN32
    return last == '\\' || last == '/';
#else
    return last == '/';
#endif
}

} // namespace

char PathSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || endsWithSeparator(folder))
        return folder + name;
    return folder + PathSeparator() + name;
}

std::string StartFolder() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    // A working folder that has been removed has no name any more; "." still reaches it.
    const std::u8string text = error ? std::u8string(u8".") : current.u8string();
    std::string folder(text.begin(), text.end());
    if (!endsWithSeparator(folder))
        folder += PathSeparator();
    return folder;
}

std::string LevelsFolder(const std::string& startFolder) {
    return JoinPath(startFolder, "levels") + PathSeparator();
}

} // namespace level
