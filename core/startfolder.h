#pragma once

#include <string>

namespace level {

// The platform's path separator: '/' on Linux and macOS, '\\' on Windows.
char PathSeparator();

// Joins a folder and a name with exactly one separator (a root such as "/" already ends in one).
std::string JoinPath(const std::string& folder, const std::string& name);

// The working folder at the moment of the call followed by one separator (a root keeps its own
// single separator). Each program calls this once at start and keeps the result.
std::string StartFolder();

// The folder every save writes into: start folder + "levels" + separator.
std::string LevelsFolder(const std::string& startFolder);

} // namespace level
