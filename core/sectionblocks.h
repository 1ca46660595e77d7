#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace level {

// Section blocks of a level file: a marker, file names one per line, and "[end]".
inline constexpr std::string_view ShipFilesMarker = "[shipfiles]";
inline constexpr std::string_view WinFileMarker = "[winfile]";
inline constexpr std::string_view EndMarker = "[end]";

// The file-name line for a name field's text: the text unchanged, or no line when it is empty
// (a name of blanks is a line of blanks).
inline std::optional<std::string> FileNameLine(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    return std::string(name);
}

} // namespace level
