#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace level {

// The level being edited: its rows in order, and the one selected row.
// Indices and the count are 16-bit signed, -1 stands for "no row".
//
// Seven primitives change the rows at given indices: InsertLineAt, RemoveLineAt, the same for
// many rows at once (InsertLinesAt, RemoveLinesAt), MoveLine, SetLineAt and ExchangeLines. Each
// changes the list wholly or not at all, and the selection follows the selected row to wherever
// it moves (none when it is removed). The level's operations (AddLine, RemoveSelectedLine,
// MoveLineUp ...) are made of them.
class LevelLineList {
public:
    using Index = std::int16_t;
    static constexpr Index NoRow = -1;
    static constexpr Index MaxRows = 32767;

    // Inserts a row so that it has that index (0 to count). Returns false, and changes nothing,
    // for an index outside that range, a full list or want of memory.
    [[nodiscard]] bool InsertLineAt(Index index, std::string text);
    // Removes the row and returns its text; nothing for an index outside the rows.
    std::optional<std::string> RemoveLineAt(Index index);
    // Many rows at once, wherever they stand, in one pass over the list (the time grows with the
    // rows, not with rows times the runs of neighbouring indices). indices ascend strictly.
    // Inserts texts so that they have the indices in the longer list (each from 0 to the new
    // count - 1); texts is emptied when they went in. Returns false, and changes nothing, for
    // indices that do not ascend or lie outside, as many indices as texts lacking, more rows than
    // MaxRows, or want of memory.
    [[nodiscard]] bool InsertLinesAt(const std::vector<Index>& indices,
                                     std::vector<std::string>& texts);
    // Removes the rows at the indices and returns their texts in the same order; nothing, and no
    // change, for indices that do not ascend or lie outside the rows, or want of memory.
    std::optional<std::vector<std::string>> RemoveLinesAt(const std::vector<Index>& indices);
    // The same into removed, which must hold as many texts as there are indices (it is not
    // resized, so nothing allocates): false, and no change, for indices as above or a removed
    // of another size.
    bool RemoveLinesAt(const std::vector<Index>& indices, std::vector<std::string>& removed);
    // Whether indices ascend strictly and lie from 0 to end - 1.
    static bool AreAscendingBelow(const std::vector<Index>& indices, std::size_t end);
    // Moves the row at from so that it has the index to; the rows between shift by one.
    // Returns false, and changes nothing, when either index is outside the rows.
    bool MoveLine(Index from, Index to);
    // Gives the list the rows and hands back the rows it held; afterwards no row is selected.
    // Returns false, and changes nothing, when there are more than MaxRows rows.
    bool ExchangeLines(std::vector<std::string>& rows);
    // The row that "del line" selects after removing row removed from a list now count long: the
    // row that took its place, the new last row, or none.
    static Index RowAfterRemoving(Index removed, Index count) {
        return removed < count ? removed : static_cast<Index>(count - 1);
    }

    // Appends after the last row; the selection is unchanged. Returns false, and changes
    // nothing, when the list already holds MaxRows rows or no memory is left for one more.
    [[nodiscard]] bool AddLine(std::string text);
    // Makes room for one more row, so that the next AddLine cannot fail for want of memory.
    // Returns false when the list is full or no memory is left.
    [[nodiscard]] bool MakeRoomForLine() { return MakeRoomForLines(1); }
    // Makes room for that many more rows at once, so that inserting them cannot fail. Returns
    // false when they would make more than MaxRows rows or no memory is left.
    [[nodiscard]] bool MakeRoomForLines(std::size_t count);
    [[nodiscard]] bool AddEmptyLine() { return AddLine(std::string()); }

    // Removes the selected row and selects the row that takes its place (the new last row
    // when the last one was removed, none when the list became empty). Returns the new
    // selection; with nothing selected nothing changes and -1 is returned.
    Index RemoveSelectedLine();
    // Removes one row; afterwards no row is selected. An index out of range does nothing.
    void RemoveLine(Index index);
    // Swap the selected row with its neighbour and keep it selected; no-ops at the edges.
    void MoveLineUp();
    void MoveLineDown();
    void ClearLines();

    Index LineCount() const { return static_cast<Index>(m_rows.size()); }
    const std::string& LineAt(Index index) const { return m_rows.at(toSize(index)); }
    // Replaces the text of a row (its index and the selection stay); returns the old text.
    std::string SetLineAt(Index index, std::string text) {
        return std::exchange(m_rows.at(toSize(index)), std::move(text));
    }
    Index SelectedIndex() const { return m_selected; }
    // Selects a row; -1 (or any index outside the rows) selects none.
    void SelectLine(Index index);

    // Replaces every row at once, as a load does; afterwards no row is selected.
    // Returns false, and changes nothing, when there are more than MaxRows rows.
    [[nodiscard]] bool ReplaceLines(std::vector<std::string> rows);
    const std::vector<std::string>& Lines() const { return m_rows; }

private:
    static std::size_t toSize(Index index) { return static_cast<std::size_t>(index); }

    std::vector<std::string> m_rows;
    Index m_selected = NoRow;
};

} // namespace level
