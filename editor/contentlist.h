#pragma once

#include "editor/levellistmodel.h"

#include <QHash>
#include <QListView>
#include <QString>

#include <array>
#include <string>

namespace editor {

// The content list `inhalt`: a view of the level's rows, one per line. It keeps its own selection
// and the level's selected row equal: the user's selections go to the level, and the level's
// selection after an operation is shown and scrolled into view, as is every appended row.
//
// Rows wider than the list scroll sideways (the scroll bar, or the Left and Right keys) and show
// whole as tool tips. All items share one size (uniform item sizes keep 32,767 rows quick): the
// size of the widest row, which the list keeps track of as rows come and go, estimated from the
// widths of the rows' characters.
class ContentList : public QListView {
    Q_OBJECT
public:
    explicit ContentList(LevelListModel* level, QWidget* parent = nullptr);

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class RowDelegate;

    void viewSelectionChanged();
    void showSelection(LevelListModel::Index row);
    void rowsAppended(const QModelIndex& parent, int first, int last);

    // The widest row: measured afresh, raised by new rows, measured afresh when it goes.
    void measureAllRows();
    void measureRows(int first, int last);
    void rowsGoing(const QModelIndex& parent, int first, int last);
    void rowsGone();
    // The width of what the list shows of a row, summed from its characters' widths: those of
    // printable ASCII measured together for the font when the first row is measured (not at
    // start, where the list is empty), the others as they come.
    int shownWidth(const std::string& row);
    void measureCharacters();
    void forgetCharacters();
    int otherWidth(char32_t c);

    LevelListModel* m_level;
    QString m_widestRow; // the shown text of the widest row
    int m_widestWidth = 0;
    bool m_widestGoing = false;
    std::array<int, 128> m_asciiWidths{}; // control characters count as nothing
    bool m_asciiMeasured = false;
    QHash<char32_t, int> m_otherWidths;
};

} // namespace editor
