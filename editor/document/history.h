#pragma once

#include "editor/document/step.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace editor {

// The level's history: the steps in the order they were done, the place in them (the steps
// before it are done, those after it undone), and the saved state. It keeps at most stepLimit
// steps and byteBudget bytes of row text by dropping its oldest steps where they stand; the
// newest step stays even when it alone is larger. A saved state that is dropped is no more
// reachable: the level then counts as changed until it is saved again.
class History {
public:
    static constexpr int StepLimit = 1000;
    static constexpr std::size_t ByteBudget = std::size_t{64} << 20;

    explicit History(int stepLimit = StepLimit, std::size_t byteBudget = ByteBudget);

    int count() const { return static_cast<int>(m_steps.size()); }
    int index() const { return m_index; }
    std::size_t bytes() const { return m_bytes; }
    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < count(); }
    // The names of the steps undo and redo would take; empty when there is none.
    QString undoName() const;
    QString redoName() const;

    // Whether the level is as saved: the place is the saved state's.
    bool isClean() const { return m_clean == m_index; }
    void setClean() { m_clean = m_index; }

    // Takes a step that has just been done. The undone steps after the place go; the step merges
    // into the one before it when that one takes it (and is not the saved state); then the oldest
    // steps beyond the limits go.
    void push(std::unique_ptr<Step> step, const level::LevelLineList& lines);
    // The step undo or redo would take (nullptr: none); after doing it, the caller moves the
    // place with undone() or redone().
    Step* toUndo() {
        return canUndo() ? m_steps[static_cast<std::size_t>(m_index - 1)].get() : nullptr;
    }
    Step* toRedo() {
        return canRedo() ? m_steps[static_cast<std::size_t>(m_index)].get() : nullptr;
    }
    void undone() { --m_index; }
    void redone() { ++m_index; }
    // Forgets every step; the level stays as it is, and stays saved if it was.
    void clear();

private:
    void dropOldest();

    int m_stepLimit;
    std::size_t m_byteBudget;
    std::vector<std::unique_ptr<Step>> m_steps;
    int m_index = 0;
    std::optional<int> m_clean = 0; // none: the saved state was dropped or undone away
    std::size_t m_bytes = 0;
};

} // namespace editor
