#include "core/levellinelist.h"

#include <algorithm>
#include <new>
#include <utility>

namespace level {

bool LevelLineList::AddLine(std::string text) {
    if (!MakeRoomForLine())
        return false;
    m_rows.push_back(std::move(text)); // fits: no allocation, nothing can fail
    return true;
}

bool LevelLineList::MakeRoomForLine() {
    constexpr std::size_t most = static_cast<std::size_t>(MaxRows);
    if (m_rows.size() >= most)
        return false;
    if (m_rows.size() < m_rows.capacity())
        return true;
    try {
        m_rows.reserve(std::min(std::max<std::size_t>(m_rows.size() * 2, 16), most));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

LevelLineList::Index LevelLineList::RemoveSelectedLine() {
    if (m_selected == NoRow)
        return NoRow;
    Index i = m_selected;
    m_rows.erase(m_rows.begin() + i);
    if (i == LineCount())
        i = static_cast<Index>(LineCount() - 1);
    m_selected = i;
    return i;
}

void LevelLineList::RemoveLine(Index index) {
    if (index < 0 || index >= LineCount())
        return;
    m_rows.erase(m_rows.begin() + index);
    m_selected = NoRow;
}

void LevelLineList::MoveLineUp() {
    if (m_selected <= 0)
        return;
    std::swap(m_rows[toSize(m_selected)], m_rows[toSize(m_selected) - 1]);
    --m_selected;
}

void LevelLineList::MoveLineDown() {
    if (m_selected == NoRow || m_selected >= LineCount() - 1)
        return;
    std::swap(m_rows[toSize(m_selected)], m_rows[toSize(m_selected) + 1]);
    ++m_selected;
}

void LevelLineList::ClearLines() {
    m_rows.clear();
    m_selected = NoRow;
}

void LevelLineList::SelectLine(Index index) {
    m_selected = (index >= 0 && index < LineCount()) ? index : NoRow;
}

bool LevelLineList::ReplaceLines(std::vector<std::string> rows) {
    if (rows.size() > static_cast<std::size_t>(MaxRows))
        return false;
    m_rows = std::move(rows);
    m_selected = NoRow;
    return true;
}

} // namespace level
