#pragma once

#include "editor/document/step.h"

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace editor {

// The kinds of steps that merge while their key is held: a step of such a kind that continues
// one of the same kind on the same rows is undone together with it.
enum class MergeKind { None, Nudge, Turn };

// The five steps the level's rows change by. Each holds exactly the rows it needs to undo and
// redo: the texts the level does not hold at the moment, and the indices. Indices ascend.

// Inserts rows so that they stand at the indices in the longer list; an append when they follow
// the last row ("add ship", "mirror 12 entries"). Afterwards the selection stays, or the inserted
// rows are chosen (the first current). Room for the rows must have been made before.
class InsertRowsCommand : public Step {
public:
    // ChooseThem: the first of them current; ChooseThemLastCurrent: the last (so that a paste
    // after it follows them).
    enum class Then { KeepSelection, ChooseThem, ChooseThemLastCurrent };
    InsertRowsCommand(QString name, std::vector<LevelListModel::Index> indices,
                      std::vector<std::string> texts, Then then);
    StepChange redo(StepTarget& target) override;
    StepChange undo(StepTarget& target) override;

private:
    std::vector<Index> m_indices;
    std::vector<std::string> m_texts; // while they are not in the level
    Then m_then;
};

// Removes rows wherever they stand. Afterwards the row that takes the first one's place is
// current ("del line": the following row, or the new last one) or none is chosen; undone, the
// rows are back at their places and chosen, the first of them current.
class RemoveRowsCommand : public Step {
public:
    enum class Then { ChooseFollowing, ChooseNone };
    RemoveRowsCommand(QString name, std::vector<LevelListModel::Index> indices,
                      const level::LevelLineList& lines, Then then);
    StepChange redo(StepTarget& target) override;
    StepChange undo(StepTarget& target) override;

private:
    std::vector<Index> m_indices;
    std::vector<std::string> m_texts; // while they are not in the level
    Then m_then;
};

// Moves rows one place up or down ("up", "down"): each block of neighbouring rows trades places
// with the row before (after) it. Afterwards the moved rows are chosen, with the rows that stayed
// (a block at the top or the bottom), and the current row moved with them; undone, the same at
// their old places.
class MoveRowsCommand : public Step {
public:
    MoveRowsCommand(QString name, std::vector<LevelListModel::Index> rows, bool up,
                    LevelListModel::Index current, std::vector<LevelListModel::Index> staying = {});
    StepChange redo(StepTarget& target) override;
    StepChange undo(StepTarget& target) override;

private:
    // Moves the blocks of rows (at their places before the move) by delta, or back.
    StepChange move(StepTarget& target, int delta, bool back);

    std::vector<Index> m_rows; // before the move
    bool m_up;
    Index m_current;
    std::vector<Index> m_staying; // chosen, and left where they are
};

// Gives rows new texts, each keeping its index: an edited row; entries moved, turned or given the
// other team on the map. Afterwards the selection stays, or (ChooseRow) the first row is chosen
// and current. A step of a merge kind that continues one of the same kind on the same rows
// merges into it.
class RewriteRowsCommand : public Step {
public:
    enum class Then { KeepSelection, ChooseRow };
    RewriteRowsCommand(QString name, std::vector<LevelListModel::Index> indices,
                       std::vector<std::string> texts, const level::LevelLineList& lines, Then then,
                       MergeKind kind, bool continues);
    StepChange redo(StepTarget& target) override;
    StepChange undo(StepTarget& target) override;
    bool absorb(const Step& later, const level::LevelLineList& lines) override;

private:
    StepChange exchange(StepTarget& target);
    static std::size_t sizeOf(const std::vector<Index>& indices,
                              const std::vector<std::string>& texts,
                              const level::LevelLineList& lines);

    std::vector<Index> m_indices;
    std::vector<std::string> m_texts; // the texts the rows do not hold now
    Then m_then;
    MergeKind m_kind;
    bool m_continues;
};

// Replaces every row at once: a load, "clear". Afterwards, also undone, no row is chosen. The
// step holds one level's rows: the ones not in the list.
class ReplaceAllCommand : public Step {
public:
    ReplaceAllCommand(QString name, std::vector<std::string> rows,
                      const level::LevelLineList& lines);
    StepChange redo(StepTarget& target) override;
    StepChange undo(StepTarget& target) override;

private:
    StepChange exchange(StepTarget& target);

    std::vector<std::string> m_rows;
};

} // namespace editor
