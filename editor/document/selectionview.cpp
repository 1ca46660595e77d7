#include "editor/document/selectionview.h"

#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

namespace editor {

namespace {

using Index = LevelDocument::Index;

std::vector<Index> rowsOf(const QItemSelection& selection) {
    std::vector<Index> rows;
    for (const QItemSelectionRange& range : selection)
        if (range.isValid())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(static_cast<Index>(row));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

SelectionView::SelectionView(LevelDocument& document, QObject* parent)
    : QItemSelectionModel(&document.model(), parent)
    , m_document(document) {
    connect(&document, &LevelDocument::aboutToChange, this, &SelectionView::stepAside);
    show();
}

void SelectionView::select(const QItemSelection& selection,
                           QItemSelectionModel::SelectionFlags command) {
    if (command == NoUpdate)
        return;
    const std::vector<Index>& chosen = m_document.selection().rows();
    if (!(command & Current))
        m_before = chosen;
    std::vector<Index> rows = (command & Current) ? m_before : chosen;
    if (command & Clear)
        rows.clear();
    const std::vector<Index> asked = rowsOf(selection);
    std::vector<Index> result;
    if (command & Toggle)
        std::set_symmetric_difference(rows.begin(), rows.end(), asked.begin(), asked.end(),
                                      std::back_inserter(result));
    else if (command & Deselect)
        std::set_difference(rows.begin(), rows.end(), asked.begin(), asked.end(),
                            std::back_inserter(result));
    else if (command & Select)
        std::set_union(rows.begin(), rows.end(), asked.begin(), asked.end(),
                       std::back_inserter(result));
    else
        result = rows;

    // The current row: the cursor's (the row last clicked) when chosen, else the one before.
    const Index cursor =
        currentIndex().isValid() ? static_cast<Index>(currentIndex().row()) : LevelDocument::NoRow;
    const auto isChosen = [&result](Index row) {
        return std::binary_search(result.begin(), result.end(), row);
    };
    Index current = LevelDocument::NoRow;
    if (isChosen(cursor))
        current = cursor;
    else if (isChosen(m_document.currentRow()))
        current = m_document.currentRow();
    else if (!result.empty())
        current = result.back();
    m_document.choose(std::move(result), current, this);
}

void SelectionView::reset() {
    const QSignalBlocker quiet(this);
    QItemSelectionModel::select(QItemSelection(), Clear);
    QItemSelectionModel::clearCurrentIndex();
}

void SelectionView::clear() {
    reset();
}

// The cursor is kept aside, so that it can come back where its row went when no row is current.
void SelectionView::stepAside() {
    m_cursor = currentIndex();
    reset();
}

void SelectionView::show() {
    const QSignalBlocker quiet(this);
    QItemSelectionModel::select(QItemSelection(), Clear);
    QItemSelection ranges;
    const std::vector<Index>& rows = m_document.selection().rows();
    const QAbstractItemModel* level = model();
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        ranges.append(
            QItemSelectionRange(level->index(rows[first], 0), level->index(rows[last], 0)));
        first = last + 1;
    }
    QItemSelectionModel::select(ranges, Select);
    const Index current = m_document.currentRow();
    if (current != LevelDocument::NoRow)
        QItemSelectionModel::setCurrentIndex(level->index(current, 0), NoUpdate);
    else if (m_cursor.isValid() && !currentIndex().isValid())
        QItemSelectionModel::setCurrentIndex(m_cursor, NoUpdate);
    m_cursor = QPersistentModelIndex();
}

} // namespace editor
