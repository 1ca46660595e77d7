#include "editor/filelist.h"

#include "core/foldernames.h"
#include "widgets/longtext.h"
#include "widgets/qtpath.h"

#include <QKeyEvent>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace editor {

namespace {

constexpr int NameRole = Qt::UserRole; // the entry's name, its exact bytes

// Whether a name matches a pattern of '*' (any run) and '?' (any one byte); both are compared as
// given, so callers lower the letters of both alike.
bool matches(std::string_view name, std::string_view pattern) {
    if (pattern.empty())
        return name.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip)
            if (matches(name.substr(skip), pattern.substr(1)))
                return true;
        return false;
    }
    return !name.empty() && (pattern.front() == '?' || pattern.front() == name.front()) &&
           matches(name.substr(1), pattern.substr(1));
}

} // namespace

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent)
    , m_pattern(level::AsciiLower(widgets::toStdString(pattern))) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setSortingEnabled(false);
    // A name wider than the list shows whole in its tool tip.
    setItemDelegate(new widgets::WholeTextToolTips(this));
}

QString FileList::path() const {
    return widgets::fromCorePath(level::PathForDisplay(m_path));
}

void FileList::setCorePath(const std::string& path) {
    m_path = path;
    clear();
    refresh();
}

void FileList::refresh() {
    const std::string selected = selectedName();
    // Whatever is not a folder: also what no load will take (a FIFO, a link that leads nowhere),
    // so that it can be seen, and deleted.
    std::vector<std::pair<QString, std::string>> files;
    if (auto listed = level::ListFolder(m_path))
        for (const level::FolderEntry& entry : *listed)
            if (!entry.isFolder && matches(level::AsciiLower(entry.name), m_pattern))
                files.emplace_back(QString::fromStdString(level::NameForDisplay(entry.name)),
                                   entry.name);
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    clear();
    for (const auto& [shown, name] : files) {
        auto* item = new QListWidgetItem(shown, this);
        item->setData(NameRole, QByteArray::fromStdString(name));
        if (name == selected)
            setCurrentItem(item);
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

std::string FileList::selectedName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(NameRole).toByteArray().toStdString()
                                      : std::string();
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
