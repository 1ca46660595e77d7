#include "editor/directorylist.h"

#include "core/foldernames.h"
#include "core/startfolder.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <iterator>
#include <vector>

namespace editor {

namespace {

constexpr int PathRole = Qt::UserRole; // the entry's folder, its exact bytes

QString shown(const std::string& text) {
    return QString::fromStdString(level::NameForDisplay(text));
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

QString DirectoryList::path() const {
    return widgets::fromCorePath(level::PathForDisplay(m_path));
}

bool DirectoryList::setPath(const QString& path) {
    return setCorePath(widgets::toCorePath(path));
}

bool DirectoryList::setCorePath(const std::string& path) {
    const std::string folder = level::CleanFolderPath(path);
    if (auto listed = level::ListFolder(folder); !listed) {
        widgets::showFailure(this,
                             level::FileError{"open the folder", level::PathForDisplay(folder),
                                              listed.error().reason});
        return false;
    }
    const bool changed = folder != m_path;
    m_path = folder;
    rebuild();
    if (changed)
        emit pathChanged(this->path());
    return true;
}

void DirectoryList::refresh() {
    // The nearest folder that is still there, the current one or one above it.
    const std::vector<std::string> chain = level::FolderChain(m_path);
    auto nearest = chain.rbegin();
    while (std::next(nearest) != chain.rend() && !level::ListFolder(*nearest))
        ++nearest;
    if (*nearest != m_path) {
        m_path = *nearest;
        rebuild();
        emit pathChanged(path());
        return;
    }
    rebuild();
}

void DirectoryList::rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The chain from the root down to the current folder.
    QTreeWidgetItem* parentItem = nullptr;
    for (const std::string& folder : level::FolderChain(m_path)) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, QDir::toNativeSeparators(shown(level::LastPart(folder))));
        item->setIcon(0, openIcon);
        item->setData(0, PathRole, QByteArray::fromStdString(folder));
        parentItem = item;
    }
    QTreeWidgetItem* current = parentItem;
    // Its subfolders, hidden ones left out, by name whatever the letter case. A symbolic link to
    // a folder is one; a link to anything else (a device, say) is not.
    std::vector<std::pair<QString, std::string>> subfolders;
    if (auto listed = level::ListFolder(m_path))
        for (const level::FolderEntry& entry : *listed)
            if (entry.isFolder && !entry.name.starts_with('.'))
                subfolders.emplace_back(shown(entry.name), level::JoinPath(m_path, entry.name));
    std::sort(subfolders.begin(), subfolders.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [name, folder] : subfolders) {
        auto* item = new QTreeWidgetItem(current);
        item->setText(0, name);
        item->setIcon(0, closedIcon);
        item->setData(0, PathRole, QByteArray::fromStdString(folder));
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
        setCorePath(item->data(0, PathRole).toByteArray().toStdString());
}

} // namespace editor
