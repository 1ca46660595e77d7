#include "directorylist.h"

#include "messageboxes.h"
#include "qtpath.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace editor {

namespace {

constexpr int PathRole = Qt::UserRole;

QString cleanFolder(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

// The name an entry shows: the folder's own name, or the root itself.
QString entryName(const QString& folder) {
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(folder) : name;
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent)
    : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(8);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &DirectoryList::dir1Activated);
}

bool DirectoryList::setPath(const QString& path) {
    const QString folder = cleanFolder(path);
    const QFileInfo info(folder);
    if (!info.isDir() || !QDir(folder).isReadable()) {
        showFailure(this, FileError{"open the folder", toCorePath(folder),
                                    info.exists()
                                        ? (info.isDir() ? "Permission denied" : "Not a directory")
                                        : "No such file or directory"});
        return false;
    }
    const bool changed = folder != m_path;
    m_path = folder;
    rebuild();
    if (changed)
        emit pathChanged(m_path);
    return true;
}

void DirectoryList::refresh() {
    QString folder = m_path;
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).path();
        if (up == folder)
            break;
        folder = up;
    }
    if (folder != m_path) {
        m_path = folder;
        rebuild();
        emit pathChanged(m_path);
        return;
    }
    rebuild();
}

void DirectoryList::rebuild() {
    clear();
    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : chain) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, entryName(folder));
        item->setIcon(0, openIcon);
        item->setData(0, PathRole, folder);
        parentItem = item;
    }
    QTreeWidgetItem* current = parentItem;
    const QDir dir(m_path);
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QTreeWidgetItem(current);
        item->setText(0, name);
        item->setIcon(0, closedIcon);
        item->setData(0, PathRole, dir.absoluteFilePath(name));
    }
    expandAll();
    setCurrentItem(current);
    // The current folder and as many of its subfolders as fit come into view: the last subfolder
    // first, then the current folder, which moves to the top if both do not fit.
    if (current->childCount() > 0)
        scrollToItem(current->child(current->childCount() - 1));
    scrollToItem(current);
}

// Every folder on the way down is open already: no expand or collapse marks.
void DirectoryList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void DirectoryList::focusInEvent(QFocusEvent* event) {
    refresh();
    QTreeWidget::focusInEvent(event);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        dir1Activated(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryList::dir1Activated(QTreeWidgetItem* item) {
    if (item)
        setPath(item->data(0, PathRole).toString());
}

} // namespace editor
