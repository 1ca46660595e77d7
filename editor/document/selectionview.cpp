#include "editor/document/selectionview.h"

#include <QSignalBlocker>

#include <algorithm>
#include <iterator>
#include <utility>

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
    // As the item views mean it: a command without Current starts a selection on what is chosen
    // (nothing after Clear); one with Current replaces the part that the selection under way
    // added, so it starts again from there.
    if (!(command & Current))
        m_before = (command & Clear) ? std::vector<Index>() : m_document.selection().rows();
    std::vector<Index> rows = m_before;
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

// Without a cursor the view cannot move it, nor select the row after one removed; the cursor is
// kept aside, so that it can come back where its row went when no row is current. The selected
// ranges stay: a step's rows move them (a reset drops them at little cost, where keeping them
// through the step would cost each one's removal).
void SelectionView::stepAside() {
    m_cursor = currentIndex();
    const QSignalBlocker quiet(this);
    QItemSelectionModel::clearCurrentIndex();
}

void SelectionView::show() {
    const QSignalBlocker quiet(this);
    // The document's rows as blocks of neighbours; kept when the model shows them already, as
    // each range's two indexes cost a little to make and to drop.
    std::vector<std::pair<Index, Index>> blocks;
    const std::vector<Index>& rows = m_document.selection().rows();
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        blocks.emplace_back(rows[first], rows[last]);
        first = last + 1;
    }
    const QItemSelection shown = selection();
    const bool same = static_cast<std::size_t>(shown.size()) == blocks.size() &&
                      std::equal(blocks.begin(), blocks.end(), shown.begin(),
                                 [](const auto& block, const QItemSelectionRange& range) {
                                     return range.isValid() && range.top() == block.first &&
                                            range.bottom() == block.second;
                                 });
    const QAbstractItemModel* level = model();
    if (!same) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        QItemSelection ranges;
        ranges.reserve(static_cast<qsizetype>(blocks.size()));
        for (const auto& [top, bottom] : blocks)
            ranges.append(QItemSelectionRange(level->index(top, 0), level->index(bottom, 0)));
        QItemSelectionModel::select(ranges, Select);
    }
    const Index current = m_document.currentRow();
    if (current != LevelDocument::NoRow)
        QItemSelectionModel::setCurrentIndex(level->index(current, 0), NoUpdate);
    else if (m_cursor.isValid() && !currentIndex().isValid())
        QItemSelectionModel::setCurrentIndex(m_cursor, NoUpdate);
    m_cursor = QPersistentModelIndex();
}

} // namespace editor
