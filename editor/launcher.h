#pragma once

#include "core/result.h"

#include <QString>

namespace editor {

// Starts one of the game's own editors: the program alone, no arguments, detached, in the
// editor's working folder. Each call starts one more copy. A Windows program on another system
// is started through Wine (`wine` on PATH, the program as its one argument), or refused with
// that reason when Wine is not installed.
level::Result<void> startExternalEditor(const QString& program);

} // namespace editor
