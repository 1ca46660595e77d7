#include "filelist.h"

#include "longtext.h"

#include <QDir>
#include <QKeyEvent>

namespace editor {

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent)
    , m_pattern(pattern) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setSortingEnabled(false);
    // A name wider than the list shows whole in its tool tip.
    setItemDelegate(new WholeTextToolTips(this));
}

void FileList::setPath(const QString& path) {
    m_path = path;
    clear();
    refresh();
}

void FileList::refresh() {
    const QString selected = selectedFileName();
    const QStringList names = QDir(m_path).entryList(
        {m_pattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    clear();
    addItems(names);
    if (!selected.isEmpty()) {
        const int row = static_cast<int>(names.indexOf(selected));
        if (row >= 0)
            setCurrentRow(row);
    }
}

int FileList::listIndex() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? currentRow() : -1;
}

QString FileList::selectedFileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileList::focusInEvent(QFocusEvent* event) {
    refresh();
    QListWidget::focusInEvent(event);
}

void FileList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty())
        emit characterTyped(text.at(0).unicode());
    QListWidget::keyPressEvent(event);
}

} // namespace editor
