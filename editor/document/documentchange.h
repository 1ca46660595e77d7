#pragma once

#include "core/levellinelist.h"

#include <vector>

namespace editor {

// What one change of the rows did, told to views once however scattered the rows are, so that a
// view updates in time that grows with the rows changed.
struct RowsChange {
    using Index = level::LevelLineList::Index;
    enum class Kind {
        None,
        Inserted,  // rows: their indices in the longer list
        Removed,   // rows: their indices in the list before
        Rewritten, // rows: those whose texts changed, each keeping its index (also rows moved)
        Reset,     // every row may have changed
    };
    Kind kind = Kind::None;
    std::vector<Index> rows; // ascending
};

// What the level document tells its views after a step of its history or a change of the
// selection.
struct DocumentChange {
    using Index = level::LevelLineList::Index;
    RowsChange rows;
    bool selection = false; // the chosen rows or the current row changed
    // A row that views bring into view (none: -1): the current row a step or a click left.
    Index reveal = level::LevelLineList::NoRow;
    // The view that asked for the change, which need not bring anything into view (its user is
    // looking at it); nullptr for steps of the history.
    const void* source = nullptr;
};

} // namespace editor
