#include "editor/levellistmodel.h"

#include "widgets/longtext.h"
#include "widgets/qtpath.h"

#include <algorithm>
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

bool LevelListModel::insertLine(Index at, std::string text) {
    // With room made first, the row goes in for sure once views were told it comes.
    if (at < 0 || at > m_lines.LineCount() || !m_lines.MakeRoomForLine())
        return false;
    beginInsertRows(QModelIndex(), at, at);
    const bool inserted = m_lines.InsertLineAt(at, std::move(text));
    endInsertRows();
    return inserted;
}

std::optional<std::string> LevelListModel::removeLine(Index at) {
    if (at < 0 || at >= m_lines.LineCount())
        return std::nullopt;
    beginRemoveRows(QModelIndex(), at, at);
    std::optional<std::string> text = m_lines.RemoveLineAt(at);
    endRemoveRows();
    return text;
}

// The rows between change their texts, so views are told so, as for a swap of two neighbours.
void LevelListModel::moveLine(Index from, Index to) {
    if (from == to || !m_lines.MoveLine(from, to))
        return;
    emit dataChanged(index(std::min(from, to)), index(std::max(from, to)), {Qt::DisplayRole});
}

std::string LevelListModel::setLine(Index at, std::string text) {
    std::string old = m_lines.SetLineAt(at, std::move(text));
    emit dataChanged(index(at), index(at), {Qt::DisplayRole, Qt::EditRole});
    return old;
}

bool LevelListModel::exchangeLines(std::vector<std::string>& rows) {
    if (rows.size() > static_cast<std::size_t>(level::LevelLineList::MaxRows))
        return false;
    beginResetModel();
    m_lines.ExchangeLines(rows);
    endResetModel();
    return true;
}

void LevelListModel::selectLine(Index index) {
    m_lines.SelectLine(index);
}

} // namespace editor
