#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace editor {

// The drive list `Drive1`: the file system roots. On Windows the drives; on Linux and macOS "/"
// first, then the mounted volumes. Choosing one moves the directory list to that drive's current
// folder (on Windows, where every drive has one) or its root.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // The chosen root, e.g. "/" or "C:/".
    QString drive() const { return currentData().toString(); }
    // Selects the root that holds path (adding it when it is not listed); no signal.
    void showDriveOf(const QString& path);

    static QStringList roots();
    // The text an entry shows for root: "C:" for a drive letter.
    static QString shownName(const QString& root);
    // Where choosing the drive of root leads: its current folder on Windows, else root itself.
    static QString currentFolderOn(const QString& root);

signals:
    // The user picked a root that is ready; folder is where it leads (currentFolderOn).
    void driveChanged(const QString& folder);

private:
    void drive1Activated(int index);

    int m_shown = -1;
};

} // namespace editor
