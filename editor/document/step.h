#pragma once

#include "editor/document/documentchange.h"
#include "editor/document/levellistmodel.h"
#include "editor/document/selection.h"

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace editor {

// What a step of the history may change: the level's rows, through the item model's primitives
// (the chosen rows follow the rows they are given), and the selection, quietly: the document
// tells its views once, after the step.
class StepTarget {
public:
    using Index = LevelListModel::Index;

    StepTarget(LevelListModel& model, Selection& selection)
        : m_model(model)
        , m_selection(selection) {}

    const level::LevelLineList& lines() const { return m_model.lines(); }

    // The room for the rows must have been made (LevelListModel::makeRoomForLines): false only
    // when it was not and no memory is left.
    [[nodiscard]] bool insertLines(const std::vector<Index>& indices,
                                   std::vector<std::string>& texts);
    [[nodiscard]] bool removeLines(const std::vector<Index>& indices,
                                   std::vector<std::string>& removed);
    void moveLine(Index from, Index to);
    void exchangeTexts(const std::vector<Index>& indices, std::vector<std::string>& texts);
    [[nodiscard]] bool exchangeLines(std::vector<std::string>& rows);

    // Chooses the rows and makes current the current row (-1: none), which is chosen too.
    void choose(std::vector<Index> rows, Index current);
    void chooseNone() { choose({}, level::LevelLineList::NoRow); }

private:
    LevelListModel& m_model;
    Selection& m_selection;
};

// What a step did when it was done or undone.
struct StepChange {
    RowsChange rows;
    // The row views bring into view, or none (-1).
    level::LevelLineList::Index reveal = level::LevelLineList::NoRow;
    // False when the step could not be done (no memory left for its rows): nothing changed.
    bool done = true;
};

// One step of the level's history: a change of the rows that redo makes and undo takes back,
// byte for byte and at the same indices. A step holds exactly the rows it needs for that (the
// texts the level does not hold at the moment) and is never copied or rebuilt.
class Step {
protected:
    using Index = LevelListModel::Index;

public:
public:
    Step(QString name, std::size_t size)
        : m_name(std::move(name))
        , m_size(size) {}
    virtual ~Step() = default;
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

    // For a person: "add ship", "delete row 12".
    const QString& name() const { return m_name; }
    // The bytes of row text the step may hold, whether done or undone: what the history counts
    // against its budget.
    std::size_t size() const { return m_size; }

    virtual StepChange redo(StepTarget& target) = 0;
    virtual StepChange undo(StepTarget& target) = 0;
    // Takes a later step, done just after this one, into this one, which then undoes both; lines:
    // the rows as the later step left them. False when the two do not merge.
    virtual bool absorb(const Step& later, const level::LevelLineList& lines) {
        (void)later;
        (void)lines;
        return false;
    }

protected:
    void setSize(std::size_t size) { m_size = size; }

private:
    QString m_name;
    std::size_t m_size;
};

// The bytes of row text a list of rows holds, with each row's own bookkeeping.
std::size_t rowsSize(const std::vector<std::string>& rows);

} // namespace editor
