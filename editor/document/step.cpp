#include "editor/document/step.h"

#include <algorithm>
#include <utility>

namespace editor {

bool StepTarget::insertLines(const std::vector<Index>& indices, std::vector<std::string>& texts) {
    if (!m_model.insertLines(indices, texts))
        return false;
    m_selection.rowsInserted(indices);
    return true;
}

bool StepTarget::removeLines(const std::vector<Index>& indices, std::vector<std::string>& removed) {
    if (!m_model.removeLines(indices, removed))
        return false;
    m_selection.rowsRemoved(indices);
    return true;
}

void StepTarget::moveLine(Index from, Index to) {
    m_model.moveLine(from, to);
}

void StepTarget::exchangeTexts(const std::vector<Index>& indices, std::vector<std::string>& texts) {
    m_model.exchangeTexts(indices, texts);
}

bool StepTarget::exchangeLines(std::vector<std::string>& rows) {
    if (!m_model.exchangeLines(rows))
        return false;
    m_selection.clear();
    return true;
}

void StepTarget::choose(std::vector<Index> rows, Index current) {
    const Index count = m_model.lines().LineCount();
    if (current < 0 || current >= count)
        current = level::LevelLineList::NoRow;
    if (current != level::LevelLineList::NoRow)
        rows.push_back(current);
    m_selection.assign(std::move(rows), count);
    m_model.selectLine(current);
}

} // namespace editor
