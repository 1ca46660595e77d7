#include "editor/levellistmodel.h"

#include "widgets/longtext.h"

#include <utility>

namespace editor {

// Rows longer than MaxShownCharacters characters are shown up to there and end in "…"; the row
// itself stays whole in the level and is saved as it is.
QString LevelListModel::shownText(const std::string& row) {
    return widgets::shownText(row);
}

LevelListModel::LevelListModel(QObject* parent)
    : QAbstractListModel(parent) {}

int LevelListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.LineCount();
}

QVariant LevelListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.LineCount())
        return {};
    return shownText(m_lines.LineAt(static_cast<Index>(index.row())));
}

// Runs an operation on the level and tells views the selection it leaves.
template <typename Operation> void LevelListModel::change(Operation operation) {
    m_changing = true;
    operation();
    m_changing = false;
    emit selectedLineChanged(m_lines.SelectedIndex());
}

bool LevelListModel::addLine(std::string text) {
    // With room made first, the row is added for sure once views were told it comes.
    if (!m_lines.MakeRoomForLine())
        return false;
    const int row = m_lines.LineCount();
    beginInsertRows(QModelIndex(), row, row);
    const bool added = m_lines.AddLine(std::move(text));
    endInsertRows();
    return added;
}

LevelListModel::Index LevelListModel::removeSelectedLine() {
    const Index selected = m_lines.SelectedIndex();
    if (selected == level::LevelLineList::NoRow)
        return level::LevelLineList::NoRow;
    change([&] {
        beginRemoveRows(QModelIndex(), selected, selected);
        m_lines.RemoveSelectedLine();
        endRemoveRows();
    });
    return m_lines.SelectedIndex();
}

void LevelListModel::removeLine(Index index) {
    if (index < 0 || index >= m_lines.LineCount())
        return;
    change([&] {
        beginRemoveRows(QModelIndex(), index, index);
        m_lines.RemoveLine(index);
        endRemoveRows();
    });
}

void LevelListModel::moveLineUp() {
    change([&] {
        const Index selected = m_lines.SelectedIndex();
        m_lines.MoveLineUp();
        if (m_lines.SelectedIndex() != selected)
            emit dataChanged(index(m_lines.SelectedIndex()), index(selected), {Qt::DisplayRole});
    });
}

void LevelListModel::moveLineDown() {
    change([&] {
        const Index selected = m_lines.SelectedIndex();
        m_lines.MoveLineDown();
        if (m_lines.SelectedIndex() != selected)
            emit dataChanged(index(selected), index(m_lines.SelectedIndex()), {Qt::DisplayRole});
    });
}

void LevelListModel::clearLines() {
    change([&] {
        beginResetModel();
        m_lines.ClearLines();
        endResetModel();
    });
}

void LevelListModel::replaceLines(level::LevelLineList&& lines) {
    change([&] {
        beginResetModel();
        m_lines = std::move(lines);
        m_lines.SelectLine(level::LevelLineList::NoRow);
        endResetModel();
    });
}

void LevelListModel::selectLine(Index index) {
    if (!m_changing)
        m_lines.SelectLine(index);
}

} // namespace editor
