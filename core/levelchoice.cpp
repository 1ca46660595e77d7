#include "core/levelchoice.h"

#include "core/diskfiles.h"
#include "core/startfolder.h"
#include "core/windows1252.h"

#include <filesystem>
#include <system_error>

namespace level {

std::string LevelChoicePath(const std::string& startFolder) {
    return LevelsFolder(startFolder) + "uselev.lst";
}

Result<void> WriteLevelChoiceFile(const std::string& startFolder, const std::string& levelName) {
    const std::string path = LevelChoicePath(startFolder);
    auto failed = [&](std::string reason) { return FileError{"write", path, std::move(reason)}; };

    if (levelName.find_first_of("\r\n") != std::string::npos)
        return failed("the level name holds a line break, which the level choice file cannot "
                      "store");
    auto name = EncodeWindows1252(levelName);
    if (!name)
        return failed("the level name holds " + DescribeCharacter(name.error().character) +
                      ", which the level choice file cannot store");

    // The game owns the levels folder; a missing one means a wrong start folder, not a folder
    // to make.
    // Without its final separator, so that a file named "levels" is seen as what it is.
    const std::string folder = JoinPath(startFolder, "levels");
    const std::u8string folderText(folder.begin(), folder.end());
    std::error_code error;
    const auto status = std::filesystem::status(std::filesystem::path(folderText), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return failed("the levels folder does not exist");
    if (error)
        return failed(error.message());
    if (status.type() != std::filesystem::file_type::directory)
        return failed("the levels folder is not a folder");

    *name += "\r\n";
    return WriteFileAtomically(path, *name, "write");
}

} // namespace level
