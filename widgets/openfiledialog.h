#pragma once

#include <QString>
#include <QWidget>

#include <optional>

namespace widgets {

// The open-file dialog both programs use to pick a ship, base, win or level file.
// Shows a modal dialog for an existing file matching pattern (a bare wildcard such as "*.shp"),
// opening in folder. Returns the chosen file's bare name (no folder), or nothing on Cancel, in
// which case the caller leaves its target unchanged.
std::optional<QString> chooseFileName(QWidget* parent, const QString& pattern,
                                      const QString& folder);
// The same, returning the chosen file's absolute path.
std::optional<QString> chooseFilePath(QWidget* parent, const QString& pattern,
                                      const QString& folder);

} // namespace widgets
