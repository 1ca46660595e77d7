#pragma once

#include <QString>
#include <QWidget>

#include <optional>

namespace editor {

// The open-file dialog of the panels' "..." buttons: the chosen file's bare name, which goes into
// the level, where the game looks it up in its own folder (the start folder). A file chosen in
// another folder is taken all the same (the designer may copy it there later); when the game
// folder has no file of that name, a warning says so at once, naming the folder the game looks
// in. Nothing on Cancel.
std::optional<QString> chooseGameFile(QWidget* parent, const QString& pattern,
                                      const QString& gameFolder);

} // namespace editor
