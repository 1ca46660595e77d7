#pragma once

#include "levellistmodel.h"

#include <QListView>

// The content list `inhalt`: shows the level's rows, one per line, and keeps the view's selection
// and the level's selected row equal. The user selects with the mouse and keys as in any list.
class ContentList : public QListView {
    Q_OBJECT
public:
    using Index = LevelLineList::Index;

    explicit ContentList(QWidget* parent = nullptr);

    const LevelLineList& lines() const { return m_model.lines(); }

    // Appends after the last row; false when the level is full (the row is not added).
    [[nodiscard]] bool appendLine(const QString& text);
    Index removeSelectedLine();
    void removeLine(Index index);
    void moveLineUp();
    void moveLineDown();
    void clearLines();
    void replaceLines(LevelLineList&& lines);

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void viewSelectionChanged();
    void showListSelection();
    template <typename Operation> void change(Operation operation);

    LevelListModel m_model;
    bool m_changing = false;
};
