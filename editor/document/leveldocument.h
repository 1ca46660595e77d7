#pragma once

#include "editor/document/documentchange.h"
#include "editor/document/history.h"
#include "editor/document/levelcommands.h"
#include "editor/document/levellistmodel.h"
#include "editor/document/selection.h"
#include "editor/document/stepnames.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace editor {

// The level being edited, as one document: its rows (the one LevelListModel), the one selection
// (the chosen rows and the current row, which is the level's selected row) that the content list
// and the level map show, and the history of its changes. Every change of the rows is one step of
// the history (levelcommands.h), so it can be undone and redone; saving marks the history's saved
// state. After each step, and each change of the selection, views are told once what changed
// (changed); before a step changes the rows, aboutToChange lets them step aside.
class LevelDocument : public QObject {
    Q_OBJECT
public:
    using Index = LevelListModel::Index;
    static constexpr Index NoRow = level::LevelLineList::NoRow;

    explicit LevelDocument(QObject* parent = nullptr);
    // A history with other limits (tests make them small).
    LevelDocument(int stepLimit, std::size_t byteBudget, QObject* parent = nullptr);
    ~LevelDocument() override;

    LevelListModel& model() { return m_model; }
    const LevelListModel& model() const { return m_model; }
    const level::LevelLineList& lines() const { return m_model.lines(); }
    const Selection& selection() const { return m_selection; }
    Index currentRow() const { return lines().SelectedIndex(); }
    const History& history() const { return m_history; }

    // The level's operations, each one step of the history (none when it changes nothing).
    // what: the step's name for a person (see stepnames.h). False when the level is full or no
    // memory is left for the row; nothing changed then.
    [[nodiscard]] bool addLine(std::string text,
                               const QString& what = stepnames::added(stepnames::Added::Row));
    // "del line": removes the current row and makes current the one that takes its place;
    // returns the new current row (-1: none, also when there was none and nothing changed).
    Index removeSelectedLine();
    // Removes a row; afterwards no row is chosen (Backspace).
    void removeLine(Index index);
    // "up", "down": the current row trades places with its neighbour and stays current.
    void moveLineUp();
    void moveLineDown();
    void clearLines();
    // Takes the rows of another list at once, as a load does.
    void replaceLines(level::LevelLineList&& lines, const QString& what = stepnames::replacedAll());
    // Replaces the text of one row, which becomes current; an unchanged text makes no step.
    void editLine(Index index, std::string text);

    // Many rows at once, each change one step. Rows appended after the last (false, and nothing
    // changed, when they would make more rows than a level holds or no memory is left), chosen
    // afterwards when chooseThem; rows removed wherever they stand; rows given new texts in place
    // (indices ascend, texts go with them): a rewrite of a merge kind that continues the step
    // before it, of the same kind on the same rows, merges into that step.
    [[nodiscard]] bool appendLines(std::vector<std::string> rows, const QString& what,
                                   bool chooseThem = false);
    void removeLines(std::vector<Index> indices, const QString& what);
    void rewriteLines(std::vector<Index> indices, std::vector<std::string> texts,
                      const QString& what, MergeKind kind = MergeKind::None,
                      bool continues = false);

    // The same with the chosen rows. With several chosen: "del line" (and Delete) removes them all
    // and makes current the row that takes the first one's place, returned; Backspace removes
    // them all and leaves none chosen; "up" and "down" move them by one place as blocks, a block
    // at the top (the bottom) staying. With one row chosen, or none, each is the operation above,
    // byte for byte.
    Index removeChosenLines();
    void removeChosenLinesByKey();
    void moveChosenUp();
    void moveChosenDown();
    // Inserts rows so that the first stands at `at` (0 to the count), and chooses them, the last
    // current (a paste, a duplicate); false, and nothing changed, when they would make more rows
    // than a level holds or no memory is left.
    [[nodiscard]] bool insertLines(Index at, std::vector<std::string> rows, const QString& what);

    // Chooses one row as a click in the content list does (-1: none); it becomes current.
    void selectLine(Index index);
    // Chooses the rows, current among them (-1: none current); rows outside the level are left
    // out. source: the view that asks, which need not bring the current row into view.
    void choose(std::vector<Index> rows, Index current, const void* source = nullptr);

    // The history: false when there is nothing to undo or redo (or no memory is left for a
    // redo's rows; nothing changed then).
    bool undo();
    bool redo();
    // Forgets every step; the rows stay.
    void clearHistory();

    // The rows are as saved (or as loaded): nothing to save.
    void markSaved();
    bool isModified() const { return !m_history.isClean(); }

signals:
    // A step is about to change the rows.
    void aboutToChange();
    // After each step (its rows; selection: whether it changed the selection), and after a change
    // of the selection alone.
    void changed(const editor::DocumentChange& change);
    // The steps to undo and redo, or their names, changed.
    void historyChanged();
    // The rows differ from what was last saved or loaded, or no more.
    void modifiedChanged(bool modified);

private:
    bool run(std::unique_ptr<Step> step);
    void moveChosen(bool up);
    bool apply(Step& step, bool forward, std::unique_ptr<Step>* taken);

    LevelListModel m_model;
    Selection m_selection;
    History m_history;
};

} // namespace editor
