#pragma once

// A level document without any window, for tests of the document and of the operations on it:
// made from rows, with every change it tells its views kept for the test to look at.

#include "editor/document/leveldocument.h"

#include <QObject>

#include <cstddef>
#include <string>
#include <vector>

using Rows = std::vector<std::string>;
using Indices = std::vector<editor::LevelDocument::Index>;

struct DocumentFixture {
    // rows: the level as loaded (saved, no step to undo).
    explicit DocumentFixture(const Rows& rows = {}, int stepLimit = editor::History::StepLimit,
                             std::size_t byteBudget = editor::History::ByteBudget)
        : document(stepLimit, byteBudget) {
        level::LevelLineList lines;
        (void)lines.ReplaceLines(rows);
        document.replaceLines(std::move(lines));
        document.clearHistory();
        document.markSaved();
        QObject::connect(&document, &editor::LevelDocument::changed,
                         [this](const editor::DocumentChange& change) { told.push_back(change); });
    }

    const Rows& rows() const { return document.lines().Lines(); }
    const Indices& chosen() const { return document.selection().rows(); }
    editor::LevelDocument::Index current() const { return document.currentRow(); }
    int steps() const { return document.history().index(); }

    editor::LevelDocument document;
    std::vector<editor::DocumentChange> told;
};
