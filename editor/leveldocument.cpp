#include "editor/leveldocument.h"

#include "editor/levelcommands.h"

#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace editor {

LevelDocument::LevelDocument(QObject* parent)
    : QObject(parent)
    , m_selection(&m_model) {
    m_history.setUndoLimit(StepLimit);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this,
            &LevelDocument::viewSelectionChanged);
    connect(&m_history, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

// The steps go first, quietly: they count the history's size down as they go.
LevelDocument::~LevelDocument() {
    const QSignalBlocker quiet(m_history);
    m_history.clear();
}

bool LevelDocument::addLine(std::string text, const QString& what) {
    // The room is made now, so that the step's redo cannot fail for want of it.
    if (!m_model.makeRoomForLine())
        return false;
    push(new AppendCommand(*this, std::move(text), what));
    return true;
}

LevelDocument::Index LevelDocument::removeSelectedLine() {
    const Index selected = lines().SelectedIndex();
    if (selected == level::LevelLineList::NoRow)
        return level::LevelLineList::NoRow;
    push(new RemoveCommand(*this, selected, RemoveCommand::Then::SelectFollowing));
    return lines().SelectedIndex();
}

void LevelDocument::removeLine(Index index) {
    if (index < 0 || index >= lines().LineCount())
        return;
    push(new RemoveCommand(*this, index, RemoveCommand::Then::SelectNone));
}

void LevelDocument::moveLineUp() {
    const Index selected = lines().SelectedIndex();
    if (selected > 0)
        push(new MoveCommand(*this, selected, static_cast<Index>(selected - 1)));
}

void LevelDocument::moveLineDown() {
    const Index selected = lines().SelectedIndex();
    if (selected != level::LevelLineList::NoRow && selected < lines().LineCount() - 1)
        push(new MoveCommand(*this, selected, static_cast<Index>(selected + 1)));
}

void LevelDocument::clearLines() {
    const Index count = lines().LineCount();
    if (count == 0)
        return;
    push(new ReplaceAllCommand(*this, {},
                               count == 1 ? QStringLiteral("clear 1 row")
                                          : QStringLiteral("clear %1 rows").arg(count)));
}

void LevelDocument::replaceLines(level::LevelLineList&& lines, const QString& what) {
    std::vector<std::string> rows;
    lines.ExchangeLines(rows);
    push(new ReplaceAllCommand(*this, std::move(rows), what));
}

void LevelDocument::editLine(Index index, std::string text) {
    if (index < 0 || index >= lines().LineCount() || lines().LineAt(index) == text)
        return;
    push(new EditCommand(*this, index, std::move(text)));
}

bool LevelDocument::appendLines(std::vector<std::string> rows, const QString& what) {
    if (rows.empty())
        return true;
    if (!m_model.makeRoomForLines(rows.size()))
        return false;
    push(new AppendRowsCommand(*this, std::move(rows), what));
    return true;
}

void LevelDocument::removeLines(std::vector<Index> indices, const QString& what) {
    if (!indices.empty())
        push(new RemoveRowsCommand(*this, std::move(indices), what));
}

void LevelDocument::rewriteLines(std::vector<Index> indices, std::vector<std::string> texts,
                                 const QString& what, int kind, bool continues) {
    if (!indices.empty() && indices.size() == texts.size())
        push(new RewriteRowsCommand(*this, std::move(indices), std::move(texts), what, kind,
                                    continues));
}

void LevelDocument::selectLine(Index index) {
    m_model.selectLine(index);
    showSelection(true);
}

void LevelDocument::push(LevelCommand* command) {
    m_history.push(command);
    dropOldestSteps();
}

// QUndoStack drops its oldest steps by number only (StepLimit). When the row text grows beyond
// the budget, the newest steps that fit are taken over by new commands, the history is emptied and
// they are pushed again, with the clean state and the place in the history as before. Nothing
// that the history's signals tell changes, so they stay blocked meanwhile.
void LevelDocument::dropOldestSteps() {
    if (m_historyBytes <= HistoryBudget)
        return;
    // QUndoStack hands its commands out as const; they are ours, made by push().
    const auto step = [this](int i) {
        return const_cast<LevelCommand*>(static_cast<const LevelCommand*>(m_history.command(i)));
    };
    const int count = m_history.count();
    int first = count - 1; // the newest step stays whatever its size
    for (std::size_t kept = step(first)->size();
         first > 0 && kept + step(first - 1)->size() <= HistoryBudget; --first)
        kept += step(first - 1)->size();
    if (first == 0)
        return;

    const int index = m_history.index();
    const int clean = m_history.cleanIndex();
    std::vector<std::unique_ptr<LevelCommand>> kept;
    for (int i = first; i < count; ++i)
        kept.push_back(step(i)->takeOver());

    const QSignalBlocker quiet(m_history);
    m_replaying = true;
    m_history.clear();
    for (auto& command : kept)
        m_history.push(command.release());
    if (clean >= first) {
        m_history.setIndex(clean - first);
        m_history.setClean();
    } else {
        m_history.resetClean();
    }
    m_history.setIndex(index - first);
    m_replaying = false;
}

void LevelDocument::showSelection(bool scroll) {
    const Index row = lines().SelectedIndex();
    m_changing = true;
    if (row == level::LevelLineList::NoRow)
        m_selection.clearSelection();
    else
        m_selection.setCurrentIndex(m_model.index(row), QItemSelectionModel::ClearAndSelect);
    m_changing = false;
    if (scroll)
        emit selectedLineChanged(row);
}

// A view changed the selection (the user clicked or used the keys): the level follows. Passing
// selections while a command changes the rows are left out; the command's own follows.
void LevelDocument::viewSelectionChanged() {
    if (m_changing)
        return;
    const QModelIndexList rows = m_selection.selectedRows();
    m_model.selectLine(rows.isEmpty() ? level::LevelLineList::NoRow
                                      : static_cast<Index>(rows.first().row()));
}

} // namespace editor
