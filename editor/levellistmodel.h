#pragma once

#include "levellinelist.h"

#include <QAbstractListModel>

// A thin list model over the level's rows, for the content list. It owns the one LevelLineList
// of the editor and is the only way the window changes it, so the view always shows the rows.
class LevelListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Index = LevelLineList::Index;

    explicit LevelListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const LevelLineList& lines() const { return m_lines; }

    // The operations of the level, each with the signals the view needs.
    [[nodiscard]] bool addLine(const std::string& text);
    Index removeSelectedLine();
    void removeLine(Index index);
    void moveLineUp();
    void moveLineDown();
    void clearLines();
    void selectLine(Index index) { m_lines.SelectLine(index); }
    // Takes every row of another list at once, as a load does; no row is selected afterwards.
    void replaceLines(LevelLineList&& lines);

private:
    void rowsChanged(Index first, Index last);

    LevelLineList m_lines;
};
