#include "core/levellinelist.h"

#include <algorithm>
#include <new>
#include <utility>

namespace level {

bool LevelLineList::InsertLineAt(Index index, std::string text) {
    if (index < 0 || index > LineCount() || !MakeRoomForLine())
        return false;
    m_rows.insert(m_rows.begin() + index, std::move(text)); // fits: no allocation, nothing can fail
    if (m_selected >= index)
        ++m_selected;
    return true;
}

std::optional<std::string> LevelLineList::RemoveLineAt(Index index) {
    if (index < 0 || index >= LineCount())
        return std::nullopt;
    std::string text = std::move(m_rows[toSize(index)]);
    m_rows.erase(m_rows.begin() + index);
    if (m_selected == index)
        m_selected = NoRow;
    else if (m_selected > index)
        --m_selected;
    return text;
}

bool LevelLineList::MoveLine(Index from, Index to) {
    if (from < 0 || from >= LineCount() || to < 0 || to >= LineCount())
        return false;
    const auto first = m_rows.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    if (m_selected == from)
        m_selected = to;
    else if (from < to && m_selected > from && m_selected <= to)
        --m_selected;
    else if (to < from && m_selected >= to && m_selected < from)
        ++m_selected;
    return true;
}

bool LevelLineList::ExchangeLines(std::vector<std::string>& rows) {
    if (rows.size() > static_cast<std::size_t>(MaxRows))
        return false;
    m_rows.swap(rows);
    m_selected = NoRow;
    return true;
}

bool LevelLineList::AddLine(std::string text) {
    return InsertLineAt(LineCount(), std::move(text));
}

bool LevelLineList::MakeRoomForLines(std::size_t count) {
    constexpr std::size_t most = static_cast<std::size_t>(MaxRows);
    if (count > most - m_rows.size())
        return false;
    const std::size_t wanted = m_rows.size() + count;
    if (wanted <= m_rows.capacity())
        return true;
    try {
        m_rows.reserve(std::min(std::max<std::size_t>({m_rows.size() * 2, wanted, 16}), most));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

LevelLineList::Index LevelLineList::RemoveSelectedLine() {
    const Index removed = m_selected;
    if (!RemoveLineAt(removed))
        return NoRow;
    SelectLine(RowAfterRemoving(removed, LineCount()));
    return m_selected;
}

void LevelLineList::RemoveLine(Index index) {
    if (RemoveLineAt(index))
        m_selected = NoRow;
}

void LevelLineList::MoveLineUp() {
    if (m_selected > 0)
        MoveLine(m_selected, static_cast<Index>(m_selected - 1));
}

void LevelLineList::MoveLineDown() {
    if (m_selected != NoRow && m_selected < LineCount() - 1)
        MoveLine(m_selected, static_cast<Index>(m_selected + 1));
}

void LevelLineList::ClearLines() {
    std::vector<std::string> none;
    ExchangeLines(none);
}

void LevelLineList::SelectLine(Index index) {
    m_selected = (index >= 0 && index < LineCount()) ? index : NoRow;
}

bool LevelLineList::ReplaceLines(std::vector<std::string> rows) {
    return ExchangeLines(rows);
}

} // namespace level
