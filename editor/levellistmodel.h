#pragma once

#include "core/levellinelist.h"

#include <QAbstractListModel>

#include <string>

namespace editor {

// The level being edited, as an item model: the one LevelLineList of the editor, its rows and its
// selected row. The main window owns it; the content list is a view of it. Every change of the
// level goes through these operations, so views always show the rows.
class LevelListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Index = level::LevelLineList::Index;

    explicit LevelListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The display text of a row: the row, or the start of a very long one (see shownText).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // What a view shows of a row: the row, or its first MaxShownCharacters characters followed
    // by "…", so that drawing stays quick whatever a row holds.
    static QString shownText(const std::string& row);

    const level::LevelLineList& lines() const { return m_lines; }

    // The operations of the level, each with the signals views need.
    // False when the level is full or no memory is left for one more row; nothing changed then.
    [[nodiscard]] bool addLine(std::string text);
    Index removeSelectedLine();
    void removeLine(Index index);
    void moveLineUp();
    void moveLineDown();
    void clearLines();
    // Takes every row of another list at once, as a load does; no row is selected afterwards.
    void replaceLines(level::LevelLineList&& lines);
    // The user selected a row in a view (-1: none). Selections that views report while an
    // operation is changing the rows are passing states and are ignored.
    void selectLine(Index index);

signals:
    // An operation changed which row is selected; views show it.
    void selectedLineChanged(Index row);

private:
    template <typename Operation> void change(Operation operation);

    level::LevelLineList m_lines;
    bool m_changing = false;
};

} // namespace editor
