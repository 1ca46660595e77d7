#include "foldernames.h"

#include "fileplatform.h"
#include "windows1252.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;
using fileplatform::toPath;
using fileplatform::toUtf8;

Result<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    std::error_code error;
    fs::directory_iterator it(toPath(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        FolderEntry entry;
        entry.name = toUtf8(it->path().filename());
        std::error_code ignored; // a link that leads nowhere is simply neither
        const fs::file_status status = it->status(ignored);
        entry.isFolder = fs::is_directory(status);
        entry.isFile = fs::is_regular_file(status);
        entries.push_back(std::move(entry));
    }
    if (error)
        return FileError{"read the folder", folder, error.message()};
    return entries;
}

bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        unsigned low = 0x80, high = 0xBF; // allowed range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if (b < (k == 1 ? low : 0x80u) || b > (k == 1 ? high : 0xBFu))
                return false;
        }
        i += length;
    }
    return true;
}

std::string NameForDisplay(std::string_view bytes) {
    return IsUtf8(bytes) ? std::string(bytes) : DecodeWindows1252(bytes);
}
