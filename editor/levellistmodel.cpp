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

template <typename Block>
void LevelListModel::forEachRun(const std::vector<Index>& indices, bool backwards, Block block) {
    const std::size_t count = indices.size();
    std::vector<std::pair<std::size_t, std::size_t>> runs; // positions in indices
    for (std::size_t first = 0; first < count;) {
        std::size_t last = first;
        while (last + 1 < count && indices[last + 1] == indices[last] + 1)
            ++last;
        runs.emplace_back(first, last);
        first = last + 1;
    }
    if (backwards)
        std::reverse(runs.begin(), runs.end());
    for (const auto& [first, last] : runs)
        block(first, last);
}

bool LevelListModel::appendLines(std::vector<std::string>& rows) {
    if (rows.empty())
        return true;
    if (!m_lines.MakeRoomForLines(rows.size()))
        return false;
    const Index first = m_lines.LineCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (std::string& row : rows)
        (void)m_lines.AddLine(std::move(row)); // the room is there: it cannot fail
    endInsertRows();
    rows.clear();
    return true;
}

std::vector<std::string> LevelListModel::removeLastLines(Index count) {
    const Index total = m_lines.LineCount();
    count = std::clamp<Index>(count, 0, total);
    std::vector<std::string> removed(static_cast<std::size_t>(count));
    if (count == 0)
        return removed;
    const Index first = static_cast<Index>(total - count);
    beginRemoveRows(QModelIndex(), first, total - 1);
    for (Index at = static_cast<Index>(total - 1); at >= first; --at)
        removed[static_cast<std::size_t>(at - first)] = *m_lines.RemoveLineAt(at);
    endRemoveRows();
    return removed;
}

std::vector<std::string> LevelListModel::removeLines(const std::vector<Index>& indices) {
    std::vector<std::string> removed(indices.size());
    forEachRun(indices, true, [&](std::size_t first, std::size_t last) {
        beginRemoveRows(QModelIndex(), indices[first], indices[last]);
        for (std::size_t i = last + 1; i-- > first;)
            removed[i] = *m_lines.RemoveLineAt(indices[i]);
        endRemoveRows();
    });
    return removed;
}

void LevelListModel::insertLines(const std::vector<Index>& indices,
                                 std::vector<std::string>& texts) {
    forEachRun(indices, false, [&](std::size_t first, std::size_t last) {
        beginInsertRows(QModelIndex(), indices[first], indices[last]);
        for (std::size_t i = first; i <= last; ++i)
            (void)m_lines.InsertLineAt(indices[i], std::move(texts[i]));
        endInsertRows();
    });
    texts.clear();
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

void LevelListModel::selectLine(Index index) {
    m_lines.SelectLine(index);
}

} // namespace editor
