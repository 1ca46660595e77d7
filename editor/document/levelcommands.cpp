#include "editor/document/levelcommands.h"

#include <algorithm>
#include <utility>

namespace editor {

namespace {

using Index = LevelListModel::Index;
constexpr Index NoRow = level::LevelLineList::NoRow;

RowsChange rowsChange(RowsChange::Kind kind, std::vector<Index> rows) {
    return RowsChange{kind, std::move(rows)};
}

StepChange notDone() {
    StepChange change;
    change.done = false;
    return change;
}

std::size_t rowsSizeAt(const level::LevelLineList& lines, const std::vector<Index>& indices) {
    std::size_t size = indices.size() * sizeof(Index);
    for (const Index index : indices)
        size += rowBytes(lines.LineAt(index).size());
    return size;
}

} // namespace

std::size_t rowsSize(const std::vector<std::string>& rows) {
    std::size_t size = rows.size() * sizeof(Index);
    for (const auto& row : rows)
        size += rowBytes(row.size());
    return size;
}

InsertRowsCommand::InsertRowsCommand(QString name, std::vector<Index> indices,
                                     std::vector<std::string> texts, Then then)
    : Step(std::move(name), rowsSize(texts))
    , m_indices(std::move(indices))
    , m_texts(std::move(texts))
    , m_then(then) {}

// While the rows are in the level, the step holds no copy of them. The list shows the last of
// them (an append: the new row), or the first when they are chosen.
StepChange InsertRowsCommand::redo(StepTarget& target) {
    if (!target.insertLines(m_indices, m_texts))
        return notDone();
    StepChange change{rowsChange(RowsChange::Kind::Inserted, m_indices)};
    if (m_then != Then::KeepSelection) {
        const Index current = m_then == Then::ChooseThem ? m_indices.front() : m_indices.back();
        target.choose(m_indices, current);
        change.reveal = current;
    }
    return change;
}

StepChange InsertRowsCommand::undo(StepTarget& target) {
    if (!target.removeLines(m_indices, m_texts))
        return notDone();
    return {rowsChange(RowsChange::Kind::Removed, m_indices)};
}

RemoveRowsCommand::RemoveRowsCommand(QString name, std::vector<Index> indices,
                                     const level::LevelLineList& lines, Then then)
    : Step(std::move(name), rowsSizeAt(lines, indices))
    , m_indices(std::move(indices))
    , m_then(then) {}

StepChange RemoveRowsCommand::redo(StepTarget& target) {
    if (!target.removeLines(m_indices, m_texts))
        return notDone();
    StepChange change{rowsChange(RowsChange::Kind::Removed, m_indices)};
    if (m_then == Then::ChooseFollowing) {
        const Index following =
            level::LevelLineList::RowAfterRemoving(m_indices.front(), target.lines().LineCount());
        target.choose({}, following);
        change.reveal = following;
    } else {
        target.chooseNone();
    }
    return change;
}

// The removed rows left their room behind: putting them back needs no memory.
StepChange RemoveRowsCommand::undo(StepTarget& target) {
    if (!target.insertLines(m_indices, m_texts))
        return notDone();
    target.choose(m_indices, m_indices.front());
    StepChange change{rowsChange(RowsChange::Kind::Inserted, m_indices)};
    change.reveal = m_indices.front();
    return change;
}

MoveRowsCommand::MoveRowsCommand(QString name, std::vector<Index> rows, bool up, Index current,
                                 std::vector<Index> staying)
    : Step(std::move(name), (rows.size() + staying.size()) * sizeof(Index))
    , m_rows(std::move(rows))
    , m_up(up)
    , m_current(current)
    , m_staying(std::move(staying)) {}

StepChange MoveRowsCommand::redo(StepTarget& target) {
    return move(target, m_up ? -1 : 1, false);
}

StepChange MoveRowsCommand::undo(StepTarget& target) {
    return move(target, m_up ? -1 : 1, true);
}

// A block first..last moving up trades places with the row before it: that row goes after the
// block (from first - 1 to last); back, it comes before the block again. Down the other way.
// Blocks are apart by at least one row that does not move, so each moves on its own.
StepChange MoveRowsCommand::move(StepTarget& target, int delta, bool back) {
    std::vector<Index> changed;
    std::size_t first = 0;
    while (first < m_rows.size()) {
        std::size_t last = first;
        while (last + 1 < m_rows.size() && m_rows[last + 1] == m_rows[last] + 1)
            ++last;
        const Index top = m_rows[first];
        const Index bottom = m_rows[last];
        const Index low = static_cast<Index>(delta < 0 ? top - 1 : top);
        const Index high = static_cast<Index>(delta < 0 ? bottom : bottom + 1);
        if (delta < 0)
            back ? target.moveLine(high, low) : target.moveLine(low, high);
        else
            back ? target.moveLine(low, high) : target.moveLine(high, low);
        for (Index row = low; row <= high; ++row)
            changed.push_back(row);
        first = last + 1;
    }
    std::vector<Index> chosen = m_rows;
    Index current = m_current;
    if (!back) {
        const bool currentMoves = std::binary_search(m_rows.begin(), m_rows.end(), current);
        for (Index& row : chosen)
            row = static_cast<Index>(row + delta);
        if (currentMoves)
            current = static_cast<Index>(current + delta);
    }
    chosen.insert(chosen.end(), m_staying.begin(), m_staying.end());
    target.choose(std::move(chosen), current);
    StepChange change{rowsChange(RowsChange::Kind::Rewritten, std::move(changed))};
    change.reveal = current;
    return change;
}

RewriteRowsCommand::RewriteRowsCommand(QString name, std::vector<Index> indices,
                                       std::vector<std::string> texts,
                                       const level::LevelLineList& lines, Then then, MergeKind kind,
                                       bool continues)
    : Step(std::move(name), sizeOf(indices, texts, lines))
    , m_indices(std::move(indices))
    , m_texts(std::move(texts))
    , m_then(then)
    , m_kind(kind)
    , m_continues(continues) {}

// The more of the two texts of each row: the step holds one or the other.
std::size_t RewriteRowsCommand::sizeOf(const std::vector<Index>& indices,
                                       const std::vector<std::string>& texts,
                                       const level::LevelLineList& lines) {
    std::size_t size = indices.size() * sizeof(Index);
    for (std::size_t i = 0; i < indices.size(); ++i)
        size += rowBytes(std::max(texts[i].size(), lines.LineAt(indices[i]).size()));
    return size;
}

StepChange RewriteRowsCommand::exchange(StepTarget& target) {
    target.exchangeTexts(m_indices, m_texts);
    StepChange change{rowsChange(RowsChange::Kind::Rewritten, m_indices)};
    if (m_then == Then::ChooseRow) {
        target.choose({m_indices.front()}, m_indices.front());
        change.reveal = m_indices.front();
    }
    return change;
}

StepChange RewriteRowsCommand::redo(StepTarget& target) {
    return exchange(target);
}

StepChange RewriteRowsCommand::undo(StepTarget& target) {
    return exchange(target);
}

// The rows now hold the later step's texts, and this step keeps their texts from before both:
// undone, it takes both back.
bool RewriteRowsCommand::absorb(const Step& later, const level::LevelLineList& lines) {
    const auto* next = dynamic_cast<const RewriteRowsCommand*>(&later);
    if (!next || m_kind == MergeKind::None || !next->m_continues || next->m_kind != m_kind ||
        next->m_indices != m_indices)
        return false;
    setSize(sizeOf(m_indices, m_texts, lines));
    return true;
}

ReplaceAllCommand::ReplaceAllCommand(QString name, std::vector<std::string> rows,
                                     const level::LevelLineList& lines)
    : Step(std::move(name), std::max(rowsSize(rows), rowsSize(lines.Lines())))
    , m_rows(std::move(rows)) {}

// The rows trade places with the list's: no row is copied, either way.
StepChange ReplaceAllCommand::exchange(StepTarget& target) {
    if (!target.exchangeLines(m_rows))
        return notDone();
    return {rowsChange(RowsChange::Kind::Reset, {})};
}

StepChange ReplaceAllCommand::redo(StepTarget& target) {
    return exchange(target);
}

StepChange ReplaceAllCommand::undo(StepTarget& target) {
    return exchange(target);
}

} // namespace editor
