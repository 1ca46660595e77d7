#pragma once

#include "editor/levellistmodel.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstddef>
#include <string>
#include <vector>

namespace editor {

class LevelCommand;

// The level being edited, as one document: its rows (the one LevelListModel), the one selection
// that the content list and the level map share, and the history of its changes. Every change of
// the rows is a command on the history (see levelcommands.h), so it can be undone and redone;
// saving marks the history's clean state.
//
// The history keeps the last StepLimit steps and at most HistoryBudget bytes of row text
// (the oldest steps go first; the newest step stays even when it alone is larger).
class LevelDocument : public QObject {
    Q_OBJECT
public:
    using Index = LevelListModel::Index;
    static constexpr int StepLimit = 1000;
    static constexpr std::size_t HistoryBudget = std::size_t{64} << 20;

    explicit LevelDocument(QObject* parent = nullptr);
    ~LevelDocument() override;

    LevelListModel& model() { return m_model; }
    const LevelListModel& model() const { return m_model; }
    const level::LevelLineList& lines() const { return m_model.lines(); }
    QItemSelectionModel* selectionModel() { return &m_selection; }
    QUndoStack& history() { return m_history; }
    // Bytes of row text that the history holds.
    std::size_t historyBytes() const { return m_historyBytes; }

    // The level's operations, each one step of the history (none when it changes nothing).
    // what: the step's name for a person ("add ship"). False when the level is full or no memory
    // is left for the row; nothing changed then.
    [[nodiscard]] bool addLine(std::string text, const QString& what = QStringLiteral("add row"));
    // "del line": removes the selected row and selects the one that takes its place; returns the
    // new selection (-1: none, also when nothing was selected and nothing changed).
    Index removeSelectedLine();
    // Removes a row; afterwards no row is selected (Backspace).
    void removeLine(Index index);
    void moveLineUp();
    void moveLineDown();
    void clearLines();
    // Takes the rows of another list at once, as a load does; what: the step's name.
    void replaceLines(level::LevelLineList&& lines,
                      const QString& what = QStringLiteral("replace all rows"));
    // Replaces the text of one row; an unchanged text makes no step.
    void editLine(Index index, std::string text);

    // Many rows at once, each change one step: rows appended after the last (false, and nothing
    // changed, when they would make more rows than a level holds or no memory is left); rows
    // removed wherever they stand; rows given new texts in place. indices ascend; texts go with
    // them. A rewrite of kind (not NoMerge) that continues the step before it, of the same kind
    // on the same rows, merges into that step.
    static constexpr int NoMerge = -1;
    [[nodiscard]] bool appendLines(std::vector<std::string> rows, const QString& what);
    void removeLines(std::vector<Index> indices, const QString& what);
    void rewriteLines(std::vector<Index> indices, std::vector<std::string> texts,
                      const QString& what, int kind = NoMerge, bool continues = false);

    // Selects a row as a user's click does (-1: none); views show it.
    void selectLine(Index index);

    // The rows are as saved (or as loaded); nothing to save.
    void markSaved() { m_history.setClean(); }
    bool isModified() const { return !m_history.isClean(); }

    // For the commands: runs a change of the rows, then shows the selection it left. With
    // showSelected, views bring the selected row into view (an append leaves the view at the
    // new row instead).
    template <typename Change> void change(Change run, bool showSelected = true) {
        m_changing = true;
        run();
        m_changing = false;
        showSelection(showSelected);
    }
    // For the commands: while the history drops its oldest steps, it re-pushes the others;
    // their redo and undo then change nothing.
    bool replaying() const { return m_replaying; }
    void addHistoryBytes(std::size_t bytes) { m_historyBytes += bytes; }
    void removeHistoryBytes(std::size_t bytes) { m_historyBytes -= bytes; }

signals:
    // A command or selectLine changed the selected row: views bring it into view.
    void selectedLineChanged(Index row);
    // The rows differ from what was last saved or loaded, or no more.
    void modifiedChanged(bool modified);

private:
    void push(LevelCommand* command);
    void dropOldestSteps();
    void showSelection(bool scroll);
    void viewSelectionChanged();

    // Before m_history, whose commands count it down as they go.
    std::size_t m_historyBytes = 0;
    LevelListModel m_model;
    QItemSelectionModel m_selection;
    QUndoStack m_history;
    bool m_changing = false;
    bool m_replaying = false;
};

} // namespace editor
