#pragma once

#include "levellistmodel.h"

#include <QListView>

namespace editor {

// The content list `inhalt`: a view of the level's rows, one per line. It keeps its own selection
// and the level's selected row equal: the user's selections go to the level, and the level's
// selection after an operation is shown and scrolled into view, as is every appended row.
class ContentList : public QListView {
    Q_OBJECT
public:
    explicit ContentList(LevelListModel* level, QWidget* parent = nullptr);

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void viewSelectionChanged();
    void showSelection(LevelListModel::Index row);
    void rowsAppended(const QModelIndex& parent, int first, int last);

    LevelListModel* m_level;
};

} // namespace editor
