#pragma once

#include "editor/leveldocument.h"

#include <QString>
#include <QUndoCommand>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace editor {

// One change of the level's rows as a step of the document's history: redo makes the change,
// undo takes it back, both byte for byte and at the same indices. A step counts the row text it
// may hold (the more of before and after) into the document's history size while it exists.
class LevelCommand : public QUndoCommand {
public:
    ~LevelCommand() override;
    LevelCommand(const LevelCommand&) = delete;
    LevelCommand& operator=(const LevelCommand&) = delete;

    void redo() final;
    void undo() final;
    // Bytes of row text the step holds.
    std::size_t size() const { return m_size; }
    // A step of the same kind that takes over this one's rows; this one is left empty. The
    // history uses it when it drops its oldest steps and pushes the others again.
    virtual std::unique_ptr<LevelCommand> takeOver() = 0;

protected:
    LevelCommand(LevelDocument& document, const QString& text, std::size_t size);
    virtual void doRedo() = 0;
    virtual void doUndo() = 0;

    LevelDocument& m_document;

private:
    std::size_t m_size;
};

// Appends a row after the last one; the selection stays ("ADD SHIP", "freizeile" ...).
class AppendCommand : public LevelCommand {
public:
    AppendCommand(LevelDocument& document, std::string row, const QString& text);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    void doRedo() override;
    void doUndo() override;

    std::string m_row; // while the row is not in the level
    LevelListModel::Index m_index;
};

// Removes one row. Afterwards the row that takes its place is selected ("del line") or none
// (Backspace); undone, the row is back and selected.
class RemoveCommand : public LevelCommand {
public:
    enum class Then { SelectFollowing, SelectNone };
    RemoveCommand(LevelDocument& document, LevelListModel::Index index, Then then);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    RemoveCommand(LevelDocument& document, LevelListModel::Index index, Then then, std::string row,
                  std::size_t size);
    void doRedo() override;
    void doUndo() override;

    LevelListModel::Index m_index;
    Then m_then;
    std::string m_row; // while the row is not in the level
};

// Moves a row to another index and selects it there ("up", "down").
class MoveCommand : public LevelCommand {
public:
    MoveCommand(LevelDocument& document, LevelListModel::Index from, LevelListModel::Index to);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    void doRedo() override;
    void doUndo() override;

    LevelListModel::Index m_from;
    LevelListModel::Index m_to;
};

// Replaces every row at once: "clear" (no rows) and a load. Afterwards, also undone, no row is
// selected. The step holds one level's rows, the ones not in the list.
class ReplaceAllCommand : public LevelCommand {
public:
    ReplaceAllCommand(LevelDocument& document, std::vector<std::string> rows, const QString& text);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    void doRedo() override;
    void doUndo() override;
    void exchange();

    std::vector<std::string> m_rows;
};

// Replaces the text of one row, which keeps its index and is selected.
class EditCommand : public LevelCommand {
public:
    EditCommand(LevelDocument& document, LevelListModel::Index index, std::string row);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    void doRedo() override;
    void doUndo() override;
    void exchange();

    LevelListModel::Index m_index;
    std::string m_row; // the text the row does not hold now
};

// Appends rows after the last one, all as one step ("place ship", "mirror 12 entries"); the
// selection stays. Room for them must have been made before the step is pushed.
class AppendRowsCommand : public LevelCommand {
public:
    AppendRowsCommand(LevelDocument& document, std::vector<std::string> rows, const QString& text);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    void doRedo() override;
    void doUndo() override;

    std::vector<std::string> m_rows; // while they are not in the level
    LevelListModel::Index m_count;
};

// Removes rows wherever they stand (ascending indices); afterwards no row is selected. Undone,
// they are back at their indices.
class RemoveRowsCommand : public LevelCommand {
public:
    RemoveRowsCommand(LevelDocument& document, std::vector<LevelListModel::Index> indices,
                      const QString& text);
    std::unique_ptr<LevelCommand> takeOver() override;

private:
    // size: that of the rows, or 0 to count them in the level.
    RemoveRowsCommand(LevelDocument& document, std::vector<LevelListModel::Index> indices,
                      std::vector<std::string> rows, const QString& text, std::size_t size);
    void doRedo() override;
    void doUndo() override;

    std::vector<LevelListModel::Index> m_indices;
    std::vector<std::string> m_rows; // while they are not in the level
};

// Gives rows new texts, each keeping its index (ascending indices): entries moved, turned or
// given the other team on the map. The selection stays. A step that continues one of the same
// kind on the same rows (a key held down) merges into it, so that it is undone as one.
class RewriteRowsCommand : public LevelCommand {
public:
    RewriteRowsCommand(LevelDocument& document, std::vector<LevelListModel::Index> indices,
                       std::vector<std::string> texts, const QString& text, int kind,
                       bool continues);
    std::unique_ptr<LevelCommand> takeOver() override;
    int id() const override { return m_kind; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void doRedo() override;
    void doUndo() override;

    std::vector<LevelListModel::Index> m_indices;
    std::vector<std::string> m_texts; // the texts the rows do not hold now
    int m_kind;
    bool m_continues;
};

// The bytes of row text a list of rows holds.
std::size_t rowsSize(const std::vector<std::string>& rows);

} // namespace editor
