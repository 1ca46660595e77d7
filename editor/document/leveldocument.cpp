#include "editor/document/leveldocument.h"

#include <algorithm>
#include <utility>

namespace editor {

LevelDocument::LevelDocument(QObject* parent)
    : LevelDocument(History::StepLimit, History::ByteBudget, parent) {}

LevelDocument::LevelDocument(int stepLimit, std::size_t byteBudget, QObject* parent)
    : QObject(parent)
    , m_history(stepLimit, byteBudget) {}

LevelDocument::~LevelDocument() = default;

bool LevelDocument::addLine(std::string text, const QString& what) {
    std::vector<std::string> rows;
    rows.push_back(std::move(text));
    return appendLines(std::move(rows), what);
}

LevelDocument::Index LevelDocument::removeSelectedLine() {
    const Index current = currentRow();
    if (current == NoRow)
        return NoRow;
    run(std::make_unique<RemoveRowsCommand>(stepnames::deleted({current}, QString()),
                                            std::vector<Index>{current}, lines(),
                                            RemoveRowsCommand::Then::ChooseFollowing));
    return currentRow();
}

void LevelDocument::removeLine(Index index) {
    if (index < 0 || index >= lines().LineCount())
        return;
    run(std::make_unique<RemoveRowsCommand>(stepnames::deleted({index}, QString()),
                                            std::vector<Index>{index}, lines(),
                                            RemoveRowsCommand::Then::ChooseNone));
}

void LevelDocument::moveLineUp() {
    const Index current = currentRow();
    if (current > 0)
        run(std::make_unique<MoveRowsCommand>(stepnames::moved(current, true),
                                              std::vector<Index>{current}, true, current));
}

void LevelDocument::moveLineDown() {
    const Index current = currentRow();
    if (current != NoRow && current < lines().LineCount() - 1)
        run(std::make_unique<MoveRowsCommand>(stepnames::moved(current, false),
                                              std::vector<Index>{current}, false, current));
}

void LevelDocument::clearLines() {
    const Index count = lines().LineCount();
    if (count == 0)
        return;
    run(std::make_unique<ReplaceAllCommand>(stepnames::cleared(count), std::vector<std::string>(),
                                            lines()));
}

void LevelDocument::replaceLines(level::LevelLineList&& replacement, const QString& what) {
    std::vector<std::string> rows;
    replacement.ExchangeLines(rows);
    run(std::make_unique<ReplaceAllCommand>(what, std::move(rows), lines()));
}

void LevelDocument::editLine(Index index, std::string text) {
    if (index < 0 || index >= lines().LineCount() || lines().LineAt(index) == text)
        return;
    std::vector<std::string> texts;
    texts.push_back(std::move(text));
    run(std::make_unique<RewriteRowsCommand>(
        stepnames::edited(index), std::vector<Index>{index}, std::move(texts), lines(),
        RewriteRowsCommand::Then::ChooseRow, MergeKind::None, false));
}

bool LevelDocument::appendLines(std::vector<std::string> rows, const QString& what,
                                bool chooseThem) {
    if (rows.empty())
        return true;
    // The room is made now, so that the step's redo cannot fail for want of it.
    if (!m_model.makeRoomForLines(rows.size()))
        return false;
    std::vector<Index> indices(rows.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<Index>(lines().LineCount() + static_cast<Index>(i));
    return run(std::make_unique<InsertRowsCommand>(
        what, std::move(indices), std::move(rows),
        chooseThem ? InsertRowsCommand::Then::ChooseThem : InsertRowsCommand::Then::KeepSelection));
}

void LevelDocument::removeLines(std::vector<Index> indices, const QString& what) {
    if (indices.empty() || !level::LevelLineList::AreAscendingBelow(
                               indices, static_cast<std::size_t>(lines().LineCount())))
        return;
    run(std::make_unique<RemoveRowsCommand>(what, std::move(indices), lines(),
                                            RemoveRowsCommand::Then::ChooseNone));
}

void LevelDocument::rewriteLines(std::vector<Index> indices, std::vector<std::string> texts,
                                 const QString& what, MergeKind kind, bool continues) {
    if (indices.empty() || indices.size() != texts.size() ||
        !level::LevelLineList::AreAscendingBelow(indices,
                                                 static_cast<std::size_t>(lines().LineCount())))
        return;
    run(std::make_unique<RewriteRowsCommand>(what, std::move(indices), std::move(texts), lines(),
                                             RewriteRowsCommand::Then::KeepSelection, kind,
                                             continues));
}

LevelDocument::Index LevelDocument::removeChosenLines() {
    const std::vector<Index> rows = m_selection.rows();
    if (rows.size() <= 1)
        return removeSelectedLine();
    run(std::make_unique<RemoveRowsCommand>(stepnames::deleted(rows, QStringLiteral("rows")), rows,
                                            lines(), RemoveRowsCommand::Then::ChooseFollowing));
    return currentRow();
}

void LevelDocument::removeChosenLinesByKey() {
    const std::vector<Index> rows = m_selection.rows();
    if (rows.size() <= 1) {
        if (currentRow() != NoRow)
            removeLine(currentRow());
        return;
    }
    removeLines(rows, stepnames::deleted(rows, QStringLiteral("rows")));
}

void LevelDocument::moveChosenUp() {
    moveChosen(true);
}

void LevelDocument::moveChosenDown() {
    moveChosen(false);
}

// The block at the edge the rows move towards stays; the others move.
void LevelDocument::moveChosen(bool up) {
    const std::vector<Index>& rows = m_selection.rows();
    if (rows.size() <= 1) {
        up ? moveLineUp() : moveLineDown();
        return;
    }
    std::vector<Index> moving = rows;
    std::vector<Index> staying;
    if (up) {
        std::size_t edge = 0;
        while (edge < moving.size() && moving[edge] == static_cast<Index>(edge))
            ++edge;
        staying.assign(moving.begin(), moving.begin() + static_cast<std::ptrdiff_t>(edge));
        moving.erase(moving.begin(), moving.begin() + static_cast<std::ptrdiff_t>(edge));
    } else {
        Index last = static_cast<Index>(lines().LineCount() - 1);
        while (!moving.empty() && moving.back() == last) {
            staying.insert(staying.begin(), moving.back());
            moving.pop_back();
            --last;
        }
    }
    if (moving.empty())
        return;
    run(std::make_unique<MoveRowsCommand>(stepnames::movedRows(rows.size(), up), std::move(moving),
                                          up, currentRow(), std::move(staying)));
}

bool LevelDocument::insertLines(Index at, std::vector<std::string> rows, const QString& what) {
    if (rows.empty())
        return true;
    if (at < 0 || at > lines().LineCount() || !m_model.makeRoomForLines(rows.size()))
        return false;
    std::vector<Index> indices(rows.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<Index>(at + static_cast<Index>(i));
    return run(std::make_unique<InsertRowsCommand>(what, std::move(indices), std::move(rows),
                                                   InsertRowsCommand::Then::ChooseThemLastCurrent));
}

void LevelDocument::selectLine(Index index) {
    choose({}, index);
}

void LevelDocument::choose(std::vector<Index> rows, Index current, const void* source) {
    const Index count = lines().LineCount();
    if (current < 0 || current >= count)
        current = NoRow;
    if (current != NoRow)
        rows.push_back(current);
    Selection next;
    next.assign(std::move(rows), count);
    if (next == m_selection && current == currentRow())
        return;
    m_selection = std::move(next);
    m_model.selectLine(current);
    DocumentChange change;
    change.selection = true;
    change.reveal = current;
    change.source = source;
    emit changed(change);
}

bool LevelDocument::undo() {
    Step* step = m_history.toUndo();
    return step && apply(*step, false, nullptr);
}

bool LevelDocument::redo() {
    Step* step = m_history.toRedo();
    return step && apply(*step, true, nullptr);
}

void LevelDocument::clearHistory() {
    const bool wasModified = isModified();
    m_history.clear();
    emit historyChanged();
    if (isModified() != wasModified)
        emit modifiedChanged(isModified());
}

void LevelDocument::markSaved() {
    const bool wasModified = isModified();
    m_history.setClean();
    if (wasModified)
        emit modifiedChanged(false);
}

bool LevelDocument::run(std::unique_ptr<Step> step) {
    return apply(*step, true, &step);
}

// A step done for the first time (taken: it goes to the history), redone or undone; views are
// told once, after it.
bool LevelDocument::apply(Step& step, bool forward, std::unique_ptr<Step>* taken) {
    const bool wasModified = isModified();
    const Selection chosenBefore = m_selection;
    const Index currentBefore = currentRow();
    emit aboutToChange();
    StepTarget target(m_model, m_selection);
    const StepChange change = forward ? step.redo(target) : step.undo(target);
    if (!change.done) {
        emit changed(DocumentChange{}); // nothing changed; views come back
        return false;
    }
    if (taken)
        m_history.push(std::move(*taken), lines());
    else if (forward)
        m_history.redone();
    else
        m_history.undone();
    DocumentChange told;
    told.rows = change.rows;
    told.selection = !(m_selection == chosenBefore) || currentRow() != currentBefore;
    told.reveal = change.reveal;
    emit changed(told);
    emit historyChanged();
    if (isModified() != wasModified)
        emit modifiedChanged(isModified());
    return true;
}

} // namespace editor
