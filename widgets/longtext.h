#pragma once

#include "widgets/showntext.h"

#include <QString>
#include <QStyledItemDelegate>

#include <cstddef>
#include <string_view>

class QWidget;

namespace widgets {

// Texts that can be longer than the control that shows them: level rows and file names.

// The tool tip that shows text whole: broken into lines (at blanks where possible) that fit half
// the width of the screen that shows near, so that no line runs off the screen. The text is shown
// as plain text, also when it looks like markup. Callers bound the text to MaxShownCharacters.
QString wholeTextToolTip(const QString& text, const QWidget* near);

// True when a text of this width, drawn from left in the widget, shows whole in it.
bool showsWhole(const QWidget* widget, int left, int width);

// The item delegate of a list whose entries can be wider than the list: pointing at an entry that
// does not show whole in the list gives its whole text (the display text) as tool tip; an entry
// that shows whole gives none.
class WholeTextToolTips : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    // The size an entry with this text takes in the view.
    QSize textSize(const QStyleOptionViewItem& option, const QModelIndex& index,
                   const QString& text) const;
};

} // namespace widgets
