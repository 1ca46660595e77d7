#pragma once

#include "fileerror.h"

#include <QString>

#include <optional>

// Starts one of the game's own editors: the program alone, no arguments, detached, in the
// editor's working folder. Each call starts one more copy.
std::optional<FileError> startExternalEditor(const QString& program);
