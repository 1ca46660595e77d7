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
    [[nodiscard]] bool makeRoomForLines(std::size_t count) {
        return m_lines.MakeRoomForLines(count);
    }
    [[nodiscard]] bool insertLine(Index at, std::string text); // false: full, or no memory
    std::optional<std::string> removeLine(Index at);
    void moveLine(Index from, Index to);
    std::string setLine(Index at, std::string text); // returns the old text
    // Gives the level the rows and hands back the rows it held; no row is selected afterwards.
    [[nodiscard]] bool exchangeLines(std::vector<std::string>& rows);
    void selectLine(Index index);

    // The same for many rows at once, by ascending indices. Rows next to each other are told
    // to views as one block.
    // Appends the rows after the last one, all or none: false when they would make more rows
    // than a level holds, or no memory is left; rows is emptied when they went in.
    [[nodiscard]] bool appendLines(std::vector<std::string>& rows);
    // Removes the last count rows and returns them in order.
    std::vector<std::string> removeLastLines(Index count);
    // Removes the rows at the indices and returns their texts in the same order.
    std::vector<std::string> removeLines(const std::vector<Index>& indices);
    // Puts rows back where removeLines took them from; the room they left must still be there.
    void insertLines(const std::vector<Index>& indices, std::vector<std::string>& texts);
    // Exchanges the texts of the rows at the indices with texts; views are told once.
    void exchangeTexts(const std::vector<Index>& indices, std::vector<std::string>& texts);

private:
    // Calls block(first, last) for each run of consecutive indices, the last run first when
    // backwards.
    template <typename Block>
    static void forEachRun(const std::vector<Index>& indices, bool backwards, Block block);

    level::LevelLineList m_lines;
};

} // namespace editor
