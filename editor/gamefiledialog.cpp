#include "editor/gamefiledialog.h"

#include "widgets/messageboxes.h"
#include "widgets/openfiledialog.h"

#include <QDir>
#include <QFileInfo>

namespace editor {

std::optional<QString> chooseGameFile(QWidget* parent, const QString& pattern,
                                      const QString& gameFolder) {
    const std::optional<QString> path = widgets::chooseFilePath(parent, pattern, gameFolder);
    if (!path)
        return std::nullopt;
    const QString name = QFileInfo(*path).fileName();
    if (!QFileInfo(QDir(gameFolder).filePath(name)).isFile())
        widgets::showWarning(
            parent,
            QStringLiteral("The level names the file by its name alone, and the game looks for it "
                           "in its own folder, %1, which has no file %2 (it was chosen in %3). "
                           "Copy it there for the game to find it.")
                .arg(QDir::toNativeSeparators(gameFolder), name,
                     QDir::toNativeSeparators(QFileInfo(*path).absolutePath())));
    return name;
}

} // namespace editor
