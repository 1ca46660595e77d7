#include "editor/drivelist.h"

#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace editor {

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent) {
    for (const QString& root : roots())
        addItem(shownName(root), root);
    connect(this, &QComboBox::activated, this, &DriveList::drive1Activated);
}

QStringList DriveList::roots() {
    QStringList result;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        result << drive.absoluteFilePath();
#else
    result << QStringLiteral("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Real volumes only: the kernel's own file systems (proc, sysfs, cgroups …) are no drives.
        if (!volume.isValid() || !volume.isReady() ||
            !volume.device().startsWith(QByteArrayLiteral("/dev/")))
            continue;
        const QString root = volume.rootPath();
        if (!result.contains(root))
            result << root;
    }
#endif
    return result;
}

// A drive is shown by its letter ("C:"), as Windows names it; any other root as its path.
QString DriveList::shownName(const QString& root) {
#ifdef Q_OS_WIN
    if (root.size() == 3 && root[1] == QLatin1Char(':'))
        return root.left(2).toUpper();
#endif
    return QDir::toNativeSeparators(root);
}

// Windows keeps a current folder for every drive ("D:" alone means it); elsewhere a drive is
// entered at its root.
QString DriveList::currentFolderOn(const QString& root) {
#ifdef Q_OS_WIN
    const QFileInfo current(root.left(2));
    if (root.size() == 3 && root[1] == QLatin1Char(':') && current.isDir())
        return QDir::cleanPath(current.absoluteFilePath());
#endif
    return root;
}

void DriveList::showDriveOf(const QString& path) {
    QString root = QStorageInfo(path).rootPath();
#ifndef Q_OS_WIN
    // In a chroot or a container the system may name no volume for the path (its mount table
    // holds the mounts of the system outside): the path is then on the root's.
    if (root.isEmpty())
        root = QStringLiteral("/");
#endif
    int index = findData(root);
    if (index < 0 && !root.isEmpty()) {
        addItem(shownName(root), root);
        index = count() - 1;
    }
    if (index >= 0) {
        setCurrentIndex(index);
        m_shown = index;
    }
}

// Choosing again the drive that is shown changes nothing.
void DriveList::drive1Activated(int index) {
    if (index == m_shown)
        return;
    const QString root = itemData(index).toString();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable()) {
        // Back to the drive the directory list still shows.
        setCurrentIndex(m_shown);
        widgets::showFailure(this, level::FileError{"open the drive", widgets::toCorePath(root),
                                                    info.exists() ? "the drive is not readable"
                                                                  : "the drive is not ready"});
        return;
    }
    m_shown = index;
    emit driveChanged(currentFolderOn(root));
}

} // namespace editor
