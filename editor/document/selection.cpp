#include "editor/document/selection.h"

#include <algorithm>
#include <utility>

namespace editor {

void Selection::assign(std::vector<Index> rows, Index count) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [count](Index row) { return row < 0 || row >= count; }),
               rows.end());
    m_rows = std::move(rows);
    flag();
}

void Selection::clear() {
    m_rows.clear();
    m_flags.clear();
}

// An insert at new index p lands before old row r when p - (inserts before it) <= r.
void Selection::rowsInserted(const std::vector<Index>& indices) {
    if (m_rows.empty() || indices.empty())
        return;
    std::size_t before = 0;
    for (Index& row : m_rows) {
        while (before < indices.size() && indices[before] - static_cast<Index>(before) <= row)
            ++before;
        row = static_cast<Index>(row + static_cast<Index>(before));
    }
    flag();
}

void Selection::rowsRemoved(const std::vector<Index>& indices) {
    if (m_rows.empty() || indices.empty())
        return;
    std::vector<Index> kept;
    kept.reserve(m_rows.size());
    std::size_t before = 0;
    for (const Index row : m_rows) {
        while (before < indices.size() && indices[before] < row)
            ++before;
        if (before < indices.size() && indices[before] == row)
            continue;
        kept.push_back(static_cast<Index>(row - static_cast<Index>(before)));
    }
    m_rows = std::move(kept);
    flag();
}

void Selection::flag() {
    m_flags.assign(m_rows.empty() ? 0 : static_cast<std::size_t>(m_rows.back()) + 1, false);
    for (const Index row : m_rows)
        m_flags[static_cast<std::size_t>(row)] = true;
}

} // namespace editor
