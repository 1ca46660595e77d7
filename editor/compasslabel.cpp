#include "editor/compasslabel.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace editor {

CompassLabel::CompassLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {}

QStringList CompassLabel::rows(const QString& caption) {
    const QString text = caption.trimmed();
    const qsizetype firstBlank = text.indexOf(QLatin1Char(' '));
    const qsizetype lastBlank = text.lastIndexOf(QLatin1Char(' '));
    if (firstBlank < 0 || text.mid(firstBlank, lastBlank - firstBlank).trimmed().isEmpty())
        return {text};
    // The middle keeps its own blanks ("90  X  270").
    return {text.left(firstBlank), text.mid(firstBlank, lastBlank - firstBlank).trimmed(),
            text.mid(lastBlank + 1)};
}

void CompassLabel::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    const QStringList lines = rows(text());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));

    // A font wider than the box is shrunk until the widest row fits.
    QFont shown = font();
    auto widest = [&lines](const QFontMetrics& metrics) {
        int w = 0;
        for (const QString& line : lines)
            w = std::max(w, metrics.horizontalAdvance(line));
        return w;
    };
    while (widest(QFontMetrics(shown)) > width() && shown.pointSizeF() > 5.0)
        shown.setPointSizeF(shown.pointSizeF() - 0.5);
    painter.setFont(shown);
    const QFontMetrics metrics(shown);

    // Each row gets an equal share of the height, its capitals centred in it; a tall font
    // gives up its line spacing, not its rows.
    const qreal rowHeight = static_cast<qreal>(height()) / static_cast<qreal>(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qreal x = (width() - metrics.horizontalAdvance(lines[i])) / 2.0;
        const qreal baseline =
            rowHeight * static_cast<qreal>(i) + (rowHeight + metrics.capHeight()) / 2.0;
        painter.drawText(QPointF(x, baseline), lines[i]);
    }
}

} // namespace editor
