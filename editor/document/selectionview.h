#pragma once

#include "editor/document/leveldocument.h"

#include <QItemSelectionModel>
#include <QPersistentModelIndex>

#include <vector>

namespace editor {

// An item view's selection model as a view of the document's selection: what the user selects
// in the view (clicks, keys) goes to the document as a choice of rows, and what the document
// chooses (a step, the map) is shown here. The view's cursor (its current index) is its own;
// the document's current row is the row the user chose last. While a step changes the rows the
// view has no cursor, so that it neither moves it nor selects rows of its own accord; afterwards
// show() puts the document's selection and the cursor back. Changes are made quietly: the view
// repaints itself (ContentList does).
class SelectionView : public QItemSelectionModel {
    Q_OBJECT
public:
    explicit SelectionView(LevelDocument& document, QObject* parent = nullptr);

    using QItemSelectionModel::select;
    // The user's selection: applied to the document's chosen rows as the command says (with
    // Current, to the rows chosen before the selection under way began).
    void select(const QItemSelection& selection,
                QItemSelectionModel::SelectionFlags command) override;
    // A reset of the model (a step of scattered rows, a load): the view's state goes, quietly.
    void reset() override;
    void clear() override;

    // Shows the document's selection and puts the cursor on its current row.
    void show();

private:
    void stepAside();

    LevelDocument& m_document;
    std::vector<LevelDocument::Index> m_before; // the chosen rows before the selection under way
    QPersistentModelIndex m_cursor;             // while a step changes the rows
};

} // namespace editor
