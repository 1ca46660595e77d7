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

bool LevelLineList::AreAscendingBelow(const std::vector<Index>& indices, std::size_t end) {
    for (std::size_t i = 0; i < indices.size(); ++i)
        if (indices[i] < 0 || static_cast<std::size_t>(indices[i]) >= end ||
            (i > 0 && indices[i] <= indices[i - 1]))
            return false;
    return true;
}

bool LevelLineList::InsertLinesAt(const std::vector<Index>& indices,
                                  std::vector<std::string>& texts) {
    const std::size_t count = indices.size();
    if (count != texts.size() || !AreAscendingBelow(indices, m_rows.size() + count) ||
        !MakeRoomForLines(count))
        return false;
    // The selected row moves down by the rows inserted before it: an insert at new index p comes
    // before old row r when p - (inserts before it) <= r.
    if (m_selected != NoRow) {
        Index shift = 0;
        while (static_cast<std::size_t>(shift) < count &&
               indices[static_cast<std::size_t>(shift)] - shift <= m_selected)
            ++shift;
        m_selected = static_cast<Index>(m_selected + shift);
    }
    // From the back: every row moves once. The room is there, so nothing allocates or throws.
    std::size_t old = m_rows.size();
    std::size_t left = count;
    m_rows.resize(old + count);
    for (std::size_t at = m_rows.size(); at-- > 0 && left > 0;) {
        if (static_cast<std::size_t>(indices[left - 1]) == at)
            m_rows[at] = std::move(texts[--left]);
        else
            m_rows[at] = std::move(m_rows[--old]);
    }
    texts.clear();
    return true;
}

std::optional<std::vector<std::string>>
LevelLineList::RemoveLinesAt(const std::vector<Index>& indices) {
    if (!AreAscendingBelow(indices, m_rows.size()))
        return std::nullopt;
    std::vector<std::string> removed;
    try {
        removed.resize(indices.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    RemoveLinesAt(indices, removed);
    return removed;
}

bool LevelLineList::RemoveLinesAt(const std::vector<Index>& indices,
                                  std::vector<std::string>& removed) {
    if (removed.size() != indices.size() || !AreAscendingBelow(indices, m_rows.size()))
        return false;
    if (indices.empty())
        return true;
    if (m_selected != NoRow) {
        const auto at = std::lower_bound(indices.begin(), indices.end(), m_selected);
        m_selected = at != indices.end() && *at == m_selected
                         ? NoRow
                         : static_cast<Index>(m_selected - (at - indices.begin()));
    }
    std::size_t next = 0;
    std::size_t kept = toSize(indices.front());
    for (std::size_t at = kept; at < m_rows.size(); ++at) {
        if (next < indices.size() && toSize(indices[next]) == at)
            removed[next++] = std::move(m_rows[at]);
        else
            m_rows[kept++] = std::move(m_rows[at]);
    }
    m_rows.resize(kept);
    return true;
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
