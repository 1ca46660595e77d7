#include "widgets/longtext.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QStringList>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace widgets {

QString wholeTextToolTip(const QString& text, const QWidget* near) {
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    const int lineWidth = std::max(200, screen ? screen->availableGeometry().width() / 2 : 0);

    QTextLayout layout(text, QToolTip::font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        // A line keeps the blanks it ends with, so the lines joined again are the text.
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();

    const QString tip = lines.join(QLatin1Char('\n'));
    // QToolTip takes text that looks like markup for rich text; such a text is shown as written.
    return Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip, Qt::WhiteSpacePre) : tip;
}

bool showsWhole(const QWidget* widget, int left, int width) {
    return left >= 0 && left + width <= widget->width();
}

bool WholeTextToolTips::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!event || !view || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (showsWhole(view->viewport(), option.rect.left(), textSize(option, index, text).width())) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), wholeTextToolTip(text, view), view->viewport(),
                       option.rect);
    return true;
}

QSize WholeTextToolTips::textSize(const QStyleOptionViewItem& option, const QModelIndex& index,
                                  const QString& text) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text = text;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    return style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), option.widget);
}

} // namespace widgets
