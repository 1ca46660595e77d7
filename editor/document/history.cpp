#include "editor/document/history.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace editor {

History::History(int stepLimit, std::size_t byteBudget)
    : m_stepLimit(std::max(stepLimit, 1))
    , m_byteBudget(byteBudget) {}

QString History::undoName() const {
    return canUndo() ? m_steps[static_cast<std::size_t>(m_index - 1)]->name() : QString();
}

QString History::redoName() const {
    return canRedo() ? m_steps[static_cast<std::size_t>(m_index)]->name() : QString();
}

void History::push(std::unique_ptr<Step> step, const level::LevelLineList& lines) {
    if (m_clean && *m_clean > m_index)
        m_clean.reset(); // the saved state lay among the undone steps
    for (auto undone = m_steps.begin() + m_index; undone != m_steps.end(); ++undone)
        m_bytes -= (*undone)->size();
    m_steps.erase(m_steps.begin() + m_index, m_steps.end());

    if (m_index > 0 && m_clean != m_index) {
        Step& before = *m_steps.back();
        const std::size_t size = before.size();
        if (before.absorb(*step, lines)) {
            m_bytes = m_bytes - size + before.size();
            dropOldest();
            return;
        }
    }
    m_bytes += step->size();
    m_steps.push_back(std::move(step));
    ++m_index;
    dropOldest();
}

void History::dropOldest() {
    std::size_t drop = 0;
    std::size_t bytes = m_bytes;
    const std::size_t count = m_steps.size();
    while (drop + 1 < count &&
           (count - drop > static_cast<std::size_t>(m_stepLimit) || bytes > m_byteBudget))
        bytes -= m_steps[drop++]->size();
    if (drop == 0)
        return;
    m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(drop));
    m_bytes = bytes;
    m_index -= static_cast<int>(drop);
    if (m_clean && *m_clean >= static_cast<int>(drop))
        *m_clean -= static_cast<int>(drop);
    else
        m_clean.reset();
}

void History::clear() {
    const bool clean = isClean();
    m_steps.clear();
    m_index = 0;
    m_bytes = 0;
    m_clean = clean ? std::optional<int>(0) : std::nullopt;
}

} // namespace editor
