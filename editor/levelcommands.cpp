#include "editor/levelcommands.h"

#include <algorithm>
#include <utility>

namespace editor {

namespace {

QString rowNumber(LevelListModel::Index index) {
    return QString::number(index + 1);
}

} // namespace

std::size_t rowsSize(const std::vector<std::string>& rows) {
    std::size_t size = rows.size() * sizeof(std::string);
    for (const auto& row : rows)
        size += row.size();
    return size;
}

LevelCommand::LevelCommand(LevelDocument& document, const QString& text, std::size_t size)
    : QUndoCommand(text)
    , m_document(document)
    , m_size(size) {
    m_document.addHistoryBytes(m_size);
}

LevelCommand::~LevelCommand() {
    m_document.removeHistoryBytes(m_size);
}

void LevelCommand::redo() {
    if (!m_document.replaying())
        doRedo();
}

void LevelCommand::undo() {
    if (!m_document.replaying())
        doUndo();
}

AppendCommand::AppendCommand(LevelDocument& document, std::string row, const QString& text)
    : LevelCommand(document, text, row.size())
    , m_row(std::move(row))
    , m_index(document.lines().LineCount()) {}

std::unique_ptr<LevelCommand> AppendCommand::takeOver() {
    auto taken = std::make_unique<AppendCommand>(m_document, std::move(m_row), text());
    taken->m_index = m_index;
    return taken;
}

// The selection stays, and the list shows the new row rather than the selected one. While the
// row is in the level, the step holds no copy of it.
void AppendCommand::doRedo() {
    m_document.change(
        [this] {
            // Room for the row was made before the first push, and undoing leaves it.
            if (!m_document.model().insertLine(m_index, std::move(m_row)))
                setObsolete(true);
        },
        false);
}

void AppendCommand::doUndo() {
    m_document.change(
        [this] {
            if (auto removed = m_document.model().removeLine(m_index))
                m_row = std::move(*removed);
        },
        false);
}

RemoveCommand::RemoveCommand(LevelDocument& document, LevelListModel::Index index, Then then)
    : RemoveCommand(document, index, then, {}, document.lines().LineAt(index).size()) {}

RemoveCommand::RemoveCommand(LevelDocument& document, LevelListModel::Index index, Then then,
                             std::string row, std::size_t size)
    : LevelCommand(document, QStringLiteral("delete row ") + rowNumber(index), size)
    , m_index(index)
    , m_then(then)
    , m_row(std::move(row)) {}

std::unique_ptr<LevelCommand> RemoveCommand::takeOver() {
    return std::unique_ptr<LevelCommand>(
        new RemoveCommand(m_document, m_index, m_then, std::move(m_row), size()));
}

void RemoveCommand::doRedo() {
    m_document.change([this] {
        LevelListModel& model = m_document.model();
        if (auto removed = model.removeLine(m_index))
            m_row = std::move(*removed);
        model.selectLine(m_then == Then::SelectFollowing ? level::LevelLineList::RowAfterRemoving(
                                                               m_index, model.lines().LineCount())
                                                         : level::LevelLineList::NoRow);
    });
}

void RemoveCommand::doUndo() {
    m_document.change([this] {
        LevelListModel& model = m_document.model();
        // The removed row left its room behind: putting it back needs no memory.
        if (model.insertLine(m_index, std::move(m_row)))
            model.selectLine(m_index);
    });
}

MoveCommand::MoveCommand(LevelDocument& document, LevelListModel::Index from,
                         LevelListModel::Index to)
    : LevelCommand(
          document,
          QStringLiteral("move row %1 %2")
              .arg(rowNumber(from), to < from ? QStringLiteral("up") : QStringLiteral("down")),
          0)
    , m_from(from)
    , m_to(to) {}

std::unique_ptr<LevelCommand> MoveCommand::takeOver() {
    return std::make_unique<MoveCommand>(m_document, m_from, m_to);
}

void MoveCommand::doRedo() {
    m_document.change([this] {
        m_document.model().moveLine(m_from, m_to);
        m_document.model().selectLine(m_to);
    });
}

void MoveCommand::doUndo() {
    m_document.change([this] {
        m_document.model().moveLine(m_to, m_from);
        m_document.model().selectLine(m_from);
    });
}

ReplaceAllCommand::ReplaceAllCommand(LevelDocument& document, std::vector<std::string> rows,
                                     const QString& text)
    : LevelCommand(document, text, std::max(rowsSize(rows), rowsSize(document.lines().Lines())))
    , m_rows(std::move(rows)) {}

std::unique_ptr<LevelCommand> ReplaceAllCommand::takeOver() {
    return std::make_unique<ReplaceAllCommand>(m_document, std::move(m_rows), text());
}

// The rows trade places with the list's: no row is copied, either way.
void ReplaceAllCommand::exchange() {
    m_document.change([this] {
        if (!m_document.model().exchangeLines(m_rows))
            setObsolete(true); // more rows than a level holds: nothing changed
    });
}

void ReplaceAllCommand::doRedo() {
    exchange();
}

void ReplaceAllCommand::doUndo() {
    exchange();
}

EditCommand::EditCommand(LevelDocument& document, LevelListModel::Index index, std::string row)
    : LevelCommand(document, QStringLiteral("edit row ") + rowNumber(index),
                   std::max(row.size(), document.lines().LineAt(index).size()))
    , m_index(index)
    , m_row(std::move(row)) {}

std::unique_ptr<LevelCommand> EditCommand::takeOver() {
    return std::make_unique<EditCommand>(m_document, m_index, std::move(m_row));
}

void EditCommand::exchange() {
    m_document.change([this] {
        m_row = m_document.model().setLine(m_index, std::move(m_row));
        m_document.model().selectLine(m_index);
    });
}

void EditCommand::doRedo() {
    exchange();
}

void EditCommand::doUndo() {
    exchange();
}

AppendRowsCommand::AppendRowsCommand(LevelDocument& document, std::vector<std::string> rows,
                                     const QString& text)
    : LevelCommand(document, text, rowsSize(rows))
    , m_rows(std::move(rows))
    , m_count(static_cast<LevelListModel::Index>(m_rows.size())) {}

std::unique_ptr<LevelCommand> AppendRowsCommand::takeOver() {
    return std::make_unique<AppendRowsCommand>(m_document, std::move(m_rows), text());
}

void AppendRowsCommand::doRedo() {
    m_document.change(
        [this] {
            if (!m_document.model().appendLines(m_rows))
                setObsolete(true);
        },
        false);
}

void AppendRowsCommand::doUndo() {
    m_document.change([this] { m_rows = m_document.model().removeLastLines(m_count); }, false);
}

RemoveRowsCommand::RemoveRowsCommand(LevelDocument& document,
                                     std::vector<LevelListModel::Index> indices,
                                     const QString& text)
    : RemoveRowsCommand(document, std::move(indices), {}, text, 0) {}

RemoveRowsCommand::RemoveRowsCommand(LevelDocument& document,
                                     std::vector<LevelListModel::Index> indices,
                                     std::vector<std::string> rows, const QString& text,
                                     std::size_t size)
    : LevelCommand(document, text, size > 0 ? size : [&] {
        std::size_t sum = indices.size() * sizeof(std::string);
        for (const LevelListModel::Index index : indices)
            sum += document.lines().LineAt(index).size();
        return sum;
    }())
    , m_indices(std::move(indices))
    , m_rows(std::move(rows)) {}

std::unique_ptr<LevelCommand> RemoveRowsCommand::takeOver() {
    return std::unique_ptr<LevelCommand>(
        new RemoveRowsCommand(m_document, std::move(m_indices), std::move(m_rows), text(), size()));
}

void RemoveRowsCommand::doRedo() {
    m_document.change([this] {
        m_rows = m_document.model().removeLines(m_indices);
        m_document.model().selectLine(level::LevelLineList::NoRow);
    });
}

// The removed rows left their room behind: putting them back needs no memory.
void RemoveRowsCommand::doUndo() {
    m_document.change([this] { m_document.model().insertLines(m_indices, m_rows); }, false);
}

RewriteRowsCommand::RewriteRowsCommand(LevelDocument& document,
                                       std::vector<LevelListModel::Index> indices,
                                       std::vector<std::string> texts, const QString& text,
                                       int kind, bool continues)
    : LevelCommand(document, text, rowsSize(texts))
    , m_indices(std::move(indices))
    , m_texts(std::move(texts))
    , m_kind(kind)
    , m_continues(continues) {}

std::unique_ptr<LevelCommand> RewriteRowsCommand::takeOver() {
    return std::make_unique<RewriteRowsCommand>(m_document, std::move(m_indices),
                                                std::move(m_texts), text(), m_kind, false);
}

// The rows now hold the later step's texts and this step keeps their texts from before both:
// undone, it takes both back.
bool RewriteRowsCommand::mergeWith(const QUndoCommand* other) {
    const auto* later = dynamic_cast<const RewriteRowsCommand*>(other);
    return later && later->m_continues && later->m_kind == m_kind && later->m_indices == m_indices;
}

void RewriteRowsCommand::doRedo() {
    m_document.change([this] { m_document.model().exchangeTexts(m_indices, m_texts); }, false);
}

void RewriteRowsCommand::doUndo() {
    m_document.change([this] { m_document.model().exchangeTexts(m_indices, m_texts); }, false);
}

} // namespace editor
