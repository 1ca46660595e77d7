#include "editor/findfield.h"

#include "core/rowtext.h"
#include "widgets/qtpath.h"

#include <QKeyEvent>
#include <QLabel>

namespace editor {

FindField::FindField(LevelDocument& document, QWidget* parent)
    : QLineEdit(parent)
    , m_document(document)
    , m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("findField"));
    setAccessibleName(QStringLiteral("find a row"));
    setPlaceholderText(QStringLiteral("find a row (F3: next, Shift+F3: previous)"));
    setClearButtonEnabled(false);
    m_status->setObjectName(QStringLiteral("findStatus"));
    QPalette quiet = m_status->palette();
    quiet.setColor(QPalette::WindowText, QColor(0xb0, 0x20, 0x20));
    m_status->setPalette(quiet);
    m_status->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(this, &QLineEdit::textEdited, this, [this] {
        const auto current = m_document.currentRow();
        find(current == LevelDocument::NoRow ? 0 : current, false);
    });
    hide();
}

void FindField::open() {
    show();
    raise();
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void FindField::findNext(bool backwards) {
    const auto current = m_document.currentRow();
    const int from =
        current == LevelDocument::NoRow ? (backwards ? -1 : 0) : current + (backwards ? -1 : 1);
    find(from, backwards);
}

void FindField::find(int from, bool backwards) {
    if (text().isEmpty()) {
        m_status->clear();
        return;
    }
    const int row =
        level::FindRow(m_document.lines().Lines(), widgets::toStdString(text()), from, backwards);
    m_status->setText(row < 0 ? QStringLiteral("not found") : QString());
    placeStatus();
    if (row >= 0)
        m_document.selectLine(static_cast<LevelDocument::Index>(row));
}

void FindField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        findNext((event->modifiers() & Qt::ShiftModifier) != 0);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FindField::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeStatus();
}

// At the right end, inside the field.
void FindField::placeStatus() {
    m_status->adjustSize();
    m_status->move(width() - m_status->width() - 6, (height() - m_status->height()) / 2);
}

} // namespace editor
