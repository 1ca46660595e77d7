#pragma once

#include "core/levellinelist.h"

#include <cstddef>
#include <vector>

namespace editor {

// The rows chosen in the level: the ones the content list highlights and the level map edits, a
// set kept in ascending order. The current row, the one the list's own operations act on, is the
// level's selected row (LevelLineList::SelectedIndex); the document keeps it among the chosen
// ones.
class Selection {
public:
    using Index = level::LevelLineList::Index;

    const std::vector<Index>& rows() const { return m_rows; }
    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }
    bool contains(Index row) const {
        return row >= 0 && static_cast<std::size_t>(row) < m_flags.size() &&
               m_flags[static_cast<std::size_t>(row)];
    }

    // Takes rows in any order; duplicates and rows outside 0 to count - 1 are left out.
    void assign(std::vector<Index> rows, Index count);
    void clear();

    // The chosen rows follow the level's: rows inserted at indices (ascending, in the longer list)
    // push the chosen rows after them down; removed rows (ascending, in the list before) leave the
    // selection and pull the rows after them up.
    void rowsInserted(const std::vector<Index>& indices);
    void rowsRemoved(const std::vector<Index>& indices);

    friend bool operator==(const Selection& a, const Selection& b) { return a.m_rows == b.m_rows; }

private:
    void flag();

    std::vector<Index> m_rows;
    std::vector<bool> m_flags; // by row, up to the last chosen one
};

} // namespace editor
