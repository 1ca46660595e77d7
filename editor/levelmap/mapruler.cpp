#include "editor/levelmap/mapruler.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace editor {

namespace {

const QColor Face(0xf1, 0xf3, 0xf6);
const QColor Edge(0xc5, 0xcb, 0xd3);
const QColor Text(0x4a, 0x52, 0x5e);
constexpr int Tick = 5;

} // namespace

MapRuler::MapRuler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_orientation(orientation) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int MapRuler::thickness() const {
    const QFontMetrics metrics = fontMetrics();
    return m_orientation == Qt::Horizontal
               ? metrics.height() + Tick + 2
               : metrics.horizontalAdvance(QStringLiteral("-000000")) + Tick + 6;
}

void MapRuler::setOffset(int offset) {
    m_offset = offset;
    update();
}

void MapRuler::setMapping(const QTransform& toViewport, qreal gridStep) {
    m_toViewport = toViewport;
    m_gridStep = gridStep;
    update();
}

void MapRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Face);
    const bool across = m_orientation == Qt::Horizontal;
    painter.setPen(Edge);
    if (across)
        painter.drawLine(0, height() - 1, width(), height() - 1);
    else
        painter.drawLine(width() - 1, 0, width() - 1, height());

    // Game coordinates of the view's ends along this ruler, then one label per grid line.
    const QTransform toScene = m_toViewport.inverted();
    const QTransform& toView = m_toViewport;
    const int length = (across ? width() : height()) - m_offset;
    const QPointF from = toScene.map(QPointF(0, 0));
    const QPointF to = toScene.map(QPointF(length, length));
    const qreal step = m_gridStep;
    const auto first = static_cast<long long>(std::ceil((across ? from.x() : from.y()) / step));
    const auto last = static_cast<long long>(std::floor((across ? to.x() : to.y()) / step));
    const QFontMetrics metrics = fontMetrics();
    for (long long k = first; k <= last; ++k) {
        const qreal value = static_cast<qreal>(k) * step;
        const QPointF at = toView.map(QPointF(value, value));
        const int place = m_offset + static_cast<int>(std::floor(across ? at.x() : at.y()));
        const QString label = QString::number(value, 'g', 12);
        painter.setPen(k == 0 ? Text : Edge);
        if (across) {
            painter.drawLine(place, height() - Tick, place, height() - 1);
            painter.setPen(Text);
            painter.drawText(
                QRect(place + 3, 0, metrics.horizontalAdvance(label) + 2, height() - 2),
                Qt::AlignLeft | Qt::AlignVCenter, label);
        } else {
            painter.drawLine(width() - Tick, place, width() - 1, place);
            painter.setPen(Text);
            painter.drawText(QRect(0, place + 1, width() - Tick - 3, metrics.height()),
                             Qt::AlignRight | Qt::AlignTop, label);
        }
    }
}

} // namespace editor
