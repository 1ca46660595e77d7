#pragma once

#include "result.h"

#include <QString>

namespace editor {

// Starts one of the game's own editors: the program alone, no arguments, detached, in the
// editor's working folder. Each call starts one more copy.
Result<void> startExternalEditor(const QString& program);

} // namespace editor
