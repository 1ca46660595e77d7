#pragma once

#include "editor/document/leveldocument.h"
#include "editor/document/selectionview.h"

#include <QHash>
#include <QListView>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;

namespace editor {

// The content list `inhalt`: a view of the level's rows, one per line, and of the level
// document's selection (the chosen rows highlighted; a click chooses a row). The row a step or
// another view makes current is scrolled into view, as is every appended row.
//
// F2 or a double click edits a row in place, its whole text: Enter makes the change one step of
// the level's history, Escape cancels, and a text that a level file cannot store is refused with
// the reason. A right click offers the history's undo and redo, the clipboard and "Edit row".
//
// Rows are chosen as in every list: a click chooses one, Shift+click and Shift+Up/Down a range,
// Ctrl+click adds or takes away one, Ctrl+A all. Ctrl+C copies the chosen rows to the clipboard
// as text, a line each; Ctrl+X cuts them; Ctrl+V inserts the clipboard's lines after the current
// row (at the end when none is) and chooses them; Ctrl+D repeats the chosen rows after the last
// of them. Each change is one step.
//
// Rows wider than the list scroll sideways (the scroll bar, or the Left and Right keys) and show
// whole as tool tips. All items share one size (uniform item sizes keep 32,767 rows quick): the
// size of the widest row, which the list keeps track of as rows come and go, estimated from the
// widths of the rows' characters and kept for each row, so that a step costs the rows it changed.
class ContentList : public QListView {
    Q_OBJECT
public:
    explicit ContentList(LevelDocument* level, QWidget* parent = nullptr);

    // The undo and redo actions that the right-click menu offers.
    void setHistoryActions(QAction* undo, QAction* redo);
    // The clipboard's operations (the keys and the menu's entries).
    void cutRows();
    void copyRows();
    void pasteRows();
    void duplicateRows();
    // The right-click menu for a point of the viewport.
    std::unique_ptr<QMenu> makeContextMenu(QPoint pos);
    // The editor of a row while one is open.
    QLineEdit* rowEditor() const;

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);
    // Delete was pressed: the window removes the chosen rows as "del line" does.
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class RowDelegate;

    void createClipboardActions();
    void addClipboardEntries(QMenu& menu);
    // Inserts rows at a place as one step (paste, duplicate), or says why not.
    void insertRows(LevelListModel::Index at, std::vector<std::string> rows, const QString& name);
    // A step or a choice of rows: the widths, the selection shown, the row brought into view.
    void documentChanged(const DocumentChange& change);
    // Whether a level file can store an edited row's text; if not, says why.
    bool storable(int row, const QString& text);

    // The shown width of every row, and the widest: measured afresh, or for the rows a step
    // changed. Ties are counted, so that the widest is looked for again only when its last row
    // goes or narrows.
    void measureAllRows();
    void rowsChanged(const RowsChange& change);
    void widen(int row, int width);
    void findWidest();
    // The width of what the list shows of a row, summed from its characters' widths: those of
    // printable ASCII measured together for the font when the first row is measured (not at
    // start, where the list is empty), the others as they come.
    int shownWidth(const std::string& row);
    void measureCharacters();
    void forgetCharacters();
    int otherWidth(char32_t c);

    LevelDocument* m_document;
    LevelListModel* m_level;
    SelectionView* m_selection;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_cut = nullptr;       // "cutRows"
    QAction* m_copy = nullptr;      // "copyRows"
    QAction* m_paste = nullptr;     // "pasteRows"
    QAction* m_duplicate = nullptr; // "duplicateRows"
    std::vector<int> m_widths;      // by row
    QString m_widestRow;            // the shown text of the widest row
    int m_widestWidth = 0;
    int m_widestCount = 0;                // rows of that width
    std::array<int, 128> m_asciiWidths{}; // control characters count as nothing
    bool m_asciiMeasured = false;
    QHash<char32_t, int> m_otherWidths;
};

} // namespace editor
