#pragma once

#include "core/levellinelist.h"

#include <QAbstractListModel>

#include <optional>
#include <string>
#include <vector>

namespace editor {

// The level being edited, as an item model: the one LevelLineList of the editor, its rows and its
// selected row. The level document owns it and changes it only through its commands, which use
// the primitives below; each tells views what changed.
class LevelListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Index = level::LevelLineList::Index;

    explicit LevelListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The display text of a row: the row, or the start of a very long one (see shownText); the
    // edit text: the whole row.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // What a view shows of a row: the row, or its first MaxShownCharacters characters followed
    // by "…", so that drawing stays quick whatever a row holds.
    static QString shownText(const std::string& row);

    const level::LevelLineList& lines() const { return m_lines; }

    // The primitives of LevelLineList with the signals views need; each changes the level wholly
    // or not at all. The selection follows its row.
    // Makes room for one more row; false when the level is full or no memory is left.
    [[nodiscard]] bool makeRoomForLine() { return m_lines.MakeRoomForLine(); }
    [[nodiscard]] bool insertLine(Index at, std::string text); // false: full, or no memory
    std::optional<std::string> removeLine(Index at);
    void moveLine(Index from, Index to);
    std::string setLine(Index at, std::string text); // returns the old text
    // Gives the level the rows and hands back the rows it held; no row is selected afterwards.
    [[nodiscard]] bool exchangeLines(std::vector<std::string>& rows);
    void selectLine(Index index);

private:
    level::LevelLineList m_lines;
};

} // namespace editor
