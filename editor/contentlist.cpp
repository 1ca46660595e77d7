#include "contentlist.h"

#include <QKeyEvent>

ContentList::ContentList(QWidget* parent)
    : QListView(parent) {
    setObjectName(QStringLiteral("inhalt"));
    setModel(&m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ContentList::viewSelectionChanged);
}

bool ContentList::appendLine(const QString& text) {
    if (!m_model.addLine(text.toStdString()))
        return false;
    scrollToBottom(); // the new row is the last one; the selection stays where it was
    return true;
}

ContentList::Index ContentList::removeSelectedLine() {
    Index next = LevelLineList::NoRow;
    change([&] { next = m_model.removeSelectedLine(); });
    return next;
}

void ContentList::removeLine(Index index) {
    change([&] { m_model.removeLine(index); });
}

void ContentList::moveLineUp() {
    change([&] { m_model.moveLineUp(); });
}

void ContentList::moveLineDown() {
    change([&] { m_model.moveLineDown(); });
}

void ContentList::clearLines() {
    change([&] { m_model.clearLines(); });
}

void ContentList::replaceLines(LevelLineList&& lines) {
    change([&] { m_model.replaceLines(std::move(lines)); });
}

// Runs an operation on the level, then shows its selection in the view. While the rows change the
// view reports passing selections of its own (a removed row is deselected first); the level's
// selection rules decide, so those reports are ignored.
template <typename Operation> void ContentList::change(Operation operation) {
    m_changing = true;
    operation();
    showListSelection();
    m_changing = false;
}

void ContentList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty())
        emit characterTyped(text.at(0).unicode());
    QListView::keyPressEvent(event);
}

// The user changed the selection in the view: the level follows.
void ContentList::viewSelectionChanged() {
    if (m_changing)
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    m_model.selectLine(rows.isEmpty() ? LevelLineList::NoRow
                                      : static_cast<Index>(rows.first().row()));
}

// An operation changed the level's selection: the view follows.
void ContentList::showListSelection() {
    const Index selected = m_model.lines().SelectedIndex();
    QItemSelectionModel* selection = selectionModel();
    if (selected == LevelLineList::NoRow) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_model.index(selected);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}
