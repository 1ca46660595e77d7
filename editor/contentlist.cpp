#include "contentlist.h"

#include <QKeyEvent>

namespace editor {

ContentList::ContentList(LevelListModel* level, QWidget* parent)
    : QListView(parent)
    , m_level(level) {
    setObjectName(QStringLiteral("inhalt"));
    setModel(level);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ContentList::viewSelectionChanged);
    connect(level, &LevelListModel::selectedLineChanged, this, &ContentList::showSelection);
    connect(level, &QAbstractItemModel::rowsInserted, this, &ContentList::rowsAppended);
}

void ContentList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty())
        emit characterTyped(text.at(0).unicode());
    QListView::keyPressEvent(event);
}

// The user changed the selection in the view: the level follows.
void ContentList::viewSelectionChanged() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    m_level->selectLine(rows.isEmpty() ? LevelLineList::NoRow
                                       : static_cast<LevelListModel::Index>(rows.first().row()));
}

// An operation changed the level's selection: the view follows.
void ContentList::showSelection(LevelListModel::Index row) {
    if (row == LevelLineList::NoRow) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_level->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

// A new row is the last one; it comes into view, the selection stays where it was.
void ContentList::rowsAppended(const QModelIndex&, int, int last) {
    scrollTo(m_level->index(last));
}

} // namespace editor
