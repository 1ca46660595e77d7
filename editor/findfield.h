#pragma once

#include "editor/document/leveldocument.h"

#include <QLineEdit>

class QLabel;

namespace editor {

// The find field over the bottom of the content list (Ctrl+F opens it): typing chooses and shows
// the next row, from the current one on, that holds the text (A to Z in either case); F3 and
// Shift+F3 go to the next and the previous one, round past the end; Escape closes it. "not
// found" shows inside the field, no box.
class FindField : public QLineEdit {
    Q_OBJECT
public:
    explicit FindField(LevelDocument& document, QWidget* parent = nullptr);

    // Shows the field with its text chosen, to type over.
    void open();
    // The next (previous) row holding the text, after (before) the current one.
    void findNext(bool backwards = false);

signals:
    // Escape closed the field: the keys go back to the list.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void find(int from, bool backwards);
    void placeStatus();

    LevelDocument& m_document;
    QLabel* m_status; // "findStatus"
};

} // namespace editor
