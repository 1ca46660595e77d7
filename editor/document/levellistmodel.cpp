#include "editor/document/levellistmodel.h"

#include "widgets/qtpath.h"
#include "widgets/showntext.h"

#include <algorithm>
#include <new>
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
    if (!index.isValid() || index.row() >= m_lines.LineCount())
        return {};
    const std::string& row = m_lines.LineAt(static_cast<Index>(index.row()));
    if (role == Qt::DisplayRole)
        return shownText(row);
    if (role == Qt::EditRole)
        return widgets::toQString(row);
    return {};
}

Qt::ItemFlags LevelListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsEditable : flags;
}

bool LevelListModel::oneBlock(const std::vector<Index>& indices) {
    return indices.empty() ||
           indices.back() - indices.front() == static_cast<int>(indices.size()) - 1;
}

bool LevelListModel::insertLines(const std::vector<Index>& indices,
                                 std::vector<std::string>& texts) {
    if (indices.empty())
        return true;
    // With room made first, the rows go in for sure once views were told they come.
    if (!m_lines.MakeRoomForLines(indices.size()))
        return false;
    const bool block = oneBlock(indices);
    if (block)
        beginInsertRows(QModelIndex(), indices.front(), indices.back());
    else
        beginResetModel();
    const bool inserted = m_lines.InsertLinesAt(indices, texts);
    if (block)
        endInsertRows();
    else
        endResetModel();
    return inserted;
}

bool LevelListModel::removeLines(const std::vector<Index>& indices,
                                 std::vector<std::string>& removed) {
    if (!level::LevelLineList::AreAscendingBelow(indices, static_cast<std::size_t>(rowCount())))
        return false;
    if (indices.empty())
        return true;
    // The texts' room first: once views were told, the rows go for sure.
    try {
        removed.assign(indices.size(), std::string());
    } catch (const std::bad_alloc&) {
        return false;
    }
    const bool block = oneBlock(indices);
    if (block)
        beginRemoveRows(QModelIndex(), indices.front(), indices.back());
    else
        beginResetModel();
    m_lines.RemoveLinesAt(indices, removed);
    if (block)
        endRemoveRows();
    else
        endResetModel();
    return true;
}

// The rows between change their texts, so views are told so, as for a swap of two neighbours.
void LevelListModel::moveLine(Index from, Index to) {
    if (from == to || !m_lines.MoveLine(from, to))
        return;
    emit dataChanged(index(std::min(from, to)), index(std::max(from, to)), {Qt::DisplayRole});
}

void LevelListModel::exchangeTexts(const std::vector<Index>& indices,
                                   std::vector<std::string>& texts) {
    if (indices.empty())
        return;
    for (std::size_t i = 0; i < indices.size(); ++i)
        texts[i] = m_lines.SetLineAt(indices[i], std::move(texts[i]));
    emit dataChanged(index(indices.front()), index(indices.back()),
                     {Qt::DisplayRole, Qt::EditRole});
}

bool LevelListModel::exchangeLines(std::vector<std::string>& rows) {
    if (rows.size() > static_cast<std::size_t>(level::LevelLineList::MaxRows))
        return false;
    beginResetModel();
    m_lines.ExchangeLines(rows);
    endResetModel();
    return true;
}

} // namespace editor
