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
    // size: the bytes of the rows the step holds; the step's own bookkeeping is added.
    Step(QString name, std::size_t size)
        : m_name(std::move(name))
        , m_size(size + Overhead) {}
    virtual ~Step() = default;
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

    // For a person: "add ship", "delete row 12".
    const QString& name() const { return m_name; }
    // The bytes the step may hold, whether done or undone, its rows' texts with what each takes
    // in memory and the step's own: what the history counts against its budget.
    std::size_t size() const { return m_size; }
    // What a step takes beside its rows: the object, its name, its vectors.
    static constexpr std::size_t Overhead = 256;

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
    void setSize(std::size_t size) { m_size = size + Overhead; }

private:
    QString m_name;
    std::size_t m_size;
};

// The bytes a row of length characters takes in memory: the string, and the block it allocates
// for a text longer than it holds itself (as the allocator rounds it).
constexpr std::size_t rowBytes(std::size_t length) {
    constexpr std::size_t inside = 15;
    return sizeof(std::string) + (length <= inside ? 0 : (length + 1 + 8 + 15) / 16 * 16);
}
// The same for a list of rows, with their indices.
std::size_t rowsSize(const std::vector<std::string>& rows);

} // namespace editor
