#include "levellistmodel.h"

LevelListModel::LevelListModel(QObject* parent)
    : QAbstractListModel(parent) {}

int LevelListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.LineCount();
}

QVariant LevelListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.LineCount())
        return {};
    return QString::fromStdString(m_lines.LineAt(static_cast<Index>(index.row())));
}

bool LevelListModel::addLine(const std::string& text) {
    const int row = m_lines.LineCount();
    if (row >= LevelLineList::MaxRows)
        return false;
    beginInsertRows(QModelIndex(), row, row);
    const bool added = m_lines.AddLine(text);
    endInsertRows();
    return added;
}

LevelListModel::Index LevelListModel::removeSelectedLine() {
    const Index selected = m_lines.SelectedIndex();
    if (selected == LevelLineList::NoRow)
        return LevelLineList::NoRow;
    beginRemoveRows(QModelIndex(), selected, selected);
    const Index next = m_lines.RemoveSelectedLine();
    endRemoveRows();
    return next;
}

void LevelListModel::removeLine(Index index) {
    if (index < 0 || index >= m_lines.LineCount())
        return;
    beginRemoveRows(QModelIndex(), index, index);
    m_lines.RemoveLine(index);
    endRemoveRows();
}

void LevelListModel::moveLineUp() {
    const Index selected = m_lines.SelectedIndex();
    m_lines.MoveLineUp();
    if (m_lines.SelectedIndex() != selected)
        rowsChanged(m_lines.SelectedIndex(), selected);
}

void LevelListModel::moveLineDown() {
    const Index selected = m_lines.SelectedIndex();
    m_lines.MoveLineDown();
    if (m_lines.SelectedIndex() != selected)
        rowsChanged(selected, m_lines.SelectedIndex());
}

void LevelListModel::clearLines() {
    if (m_lines.LineCount() == 0) {
        m_lines.ClearLines();
        return;
    }
    beginResetModel();
    m_lines.ClearLines();
    endResetModel();
}

void LevelListModel::replaceLines(LevelLineList&& lines) {
    beginResetModel();
    m_lines = std::move(lines);
    m_lines.SelectLine(LevelLineList::NoRow);
    endResetModel();
}

void LevelListModel::rowsChanged(Index first, Index last) {
    emit dataChanged(index(first), index(last), {Qt::DisplayRole});
}
