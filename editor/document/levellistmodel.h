#pragma once

#include "core/levellinelist.h"

#include <QAbstractListModel>

#include <cstddef>
#include <string>
#include <vector>

namespace editor {

// The level being edited, as an item model: the one LevelLineList of the editor, its rows and its
// selected row (the current row). The level document owns it and changes it only through the
// steps of its history, which use the primitives below; each changes the level wholly or not at
// all and tells item views once: rows next to each other as one block, rows scattered over the
// level as a reset (told per block, a view would do its work once per block).
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

    // Makes room for that many more rows, so that inserting them cannot fail; false when they
    // would make more rows than a level holds or no memory is left.
    [[nodiscard]] bool makeRoomForLines(std::size_t count) {
        return m_lines.MakeRoomForLines(count);
    }
    // Inserts texts at the indices (ascending, in the longer list); false, and nothing changed,
    // for a full level or want of memory. texts is emptied when they went in.
    [[nodiscard]] bool insertLines(const std::vector<Index>& indices,
                                   std::vector<std::string>& texts);
    // Removes the rows at the indices (ascending) and gives removed their texts in the same
    // order; false, and nothing changed, for indices outside or want of memory.
    [[nodiscard]] bool removeLines(const std::vector<Index>& indices,
                                   std::vector<std::string>& removed);
    // Moves the row at from so that it has the index to; the rows between shift by one.
    void moveLine(Index from, Index to);
    // Exchanges the texts of the rows at the indices (ascending) with texts.
    void exchangeTexts(const std::vector<Index>& indices, std::vector<std::string>& texts);
    // Gives the level the rows and hands back the rows it held; no row is selected afterwards.
    [[nodiscard]] bool exchangeLines(std::vector<std::string>& rows);
    // The current row (-1: none).
    void selectLine(Index index) { m_lines.SelectLine(index); }

private:
    // Whether the indices form one block of neighbours.
    static bool oneBlock(const std::vector<Index>& indices);

    level::LevelLineList m_lines;
};

} // namespace editor
