#include "widgets/openfiledialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace widgets {

std::optional<QString> chooseFilePath(QWidget* parent, const QString& pattern,
                                      const QString& folder) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(pattern);
    dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return QFileInfo(files.first()).absoluteFilePath();
}

std::optional<QString> chooseFileName(QWidget* parent, const QString& pattern,
                                      const QString& folder) {
    const auto path = chooseFilePath(parent, pattern, folder);
    if (!path)
        return std::nullopt;
    return QFileInfo(*path).fileName();
}

} // namespace widgets
