#include "editor/levelmap/levelmapview.h"

#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/mapruler.h"
#include "editor/levelmap/markerlayer.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

const QColor Paper(0xfc, 0xfc, 0xfd);
const QColor GridLine(0xe4, 0xe7, 0xec);
const QColor Axis(0x98, 0xa2, 0xb0);

constexpr qreal MinGridPixels = 80;
constexpr qreal MaxZoom = 40;    // pixels per game unit
constexpr qreal ZoomStep = 1.25; // one wheel notch, one + or -
// How close (pixels) to a marker the pointer must be to hover or click it, beyond its size.
constexpr qreal PickSlack = 3;

} // namespace

LevelMapView::LevelMapView(LevelMapScene* scene, QWidget* parent)
    : QGraphicsView(scene, parent)
    , m_scene(scene)
    , m_top(new MapRuler(Qt::Horizontal, this))
    , m_left(new MapRuler(Qt::Vertical, this)) {
    setDragMode(ScrollHandDrag);
    setTransformationAnchor(NoAnchor);
    setResizeAnchor(AnchorViewCenter);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setOptimizationFlags(DontAdjustForAntialiasing);
    setFocusPolicy(Qt::StrongFocus);
    setViewportMargins(m_left->thickness(), m_top->thickness(), 0, 0);
    m_top->setOffset(m_left->thickness());
    connect(scene, &QGraphicsScene::sceneRectChanged, this, &LevelMapView::viewChanged);
}

qreal LevelMapView::fitZoom() const {
    const QRectF area = m_scene->fitArea();
    const QRectF port = viewport()->rect();
    if (area.isEmpty() || port.isEmpty())
        return 1;
    return std::min(port.width() / area.width(), port.height() / area.height());
}

void LevelMapView::fitAll() {
    fitInView(m_scene->fitArea(), Qt::KeepAspectRatio);
    centerOn(m_scene->fitArea().center());
    m_fitted = true;
    viewChanged();
}

void LevelMapView::zoomBy(qreal factor, QPointF anchor) {
    const qreal target = std::clamp(zoom() * factor, std::min(fitZoom() / 4, MaxZoom), MaxZoom);
    const qreal change = target / zoom();
    if (std::abs(change - 1) < 1e-9)
        return;
    const QPointF fixed = viewportTransform().inverted().map(anchor);
    scale(change, change);
    const QPointF moved = viewportTransform().map(fixed) - anchor;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + qRound(moved.x()));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + qRound(moved.y()));
    m_fitted = false;
    viewChanged();
}

void LevelMapView::bringIntoView(QPointF scenePoint) {
    const int margin = 40;
    if (!viewport()
             ->rect()
             .adjusted(margin, margin, -margin, -margin)
             .contains(mapFromScene(scenePoint))) {
        centerOn(scenePoint);
        m_fitted = false;
    }
}

qreal LevelMapView::gridStep() const {
    const qreal least = MinGridPixels / std::max(zoom(), 1e-12);
    const qreal power = std::pow(10.0, std::floor(std::log10(least)));
    for (const qreal factor : {1.0, 2.0, 5.0})
        if (factor * power >= least)
            return factor * power;
    return 10 * power;
}

int LevelMapView::markerUnder(QPoint viewportPoint) const {
    const qreal reach = std::max(MarkerLayer::shipPixels(zoom()) * 0.5, 2.0) + PickSlack;
    return m_scene->markerAt(mapToScene(viewportPoint), reach / zoom());
}

void LevelMapView::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Paper);
    // Lines are drawn in device pixels, each on one pixel column or row.
    const QTransform toDevice = painter->worldTransform();
    const QRectF device = toDevice.mapRect(rect);
    painter->save();
    painter->resetTransform();
    const qreal step = gridStep();
    const auto first = [step](qreal from) {
        return static_cast<long long>(std::ceil(from / step));
    };
    const auto last = [step](qreal to) { return static_cast<long long>(std::floor(to / step)); };
    for (long long k = first(rect.left()); k <= last(rect.right()); ++k) {
        const qreal x = std::floor(toDevice.map(QPointF(k * step, 0)).x()) + 0.5;
        painter->setPen(QPen(k == 0 ? Axis : GridLine, 1));
        painter->drawLine(QPointF(x, device.top()), QPointF(x, device.bottom()));
    }
    for (long long k = first(rect.top()); k <= last(rect.bottom()); ++k) {
        const qreal y = std::floor(toDevice.map(QPointF(0, k * step)).y()) + 0.5;
        painter->setPen(QPen(k == 0 ? Axis : GridLine, 1));
        painter->drawLine(QPointF(device.left(), y), QPointF(device.right(), y));
    }
    // The origin: a small ring where the axes cross.
    const QPointF origin = toDevice.map(QPointF(0, 0));
    if (device.adjusted(-6, -6, 6, 6).contains(origin)) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Axis, 1.5));
        painter->setBrush(Paper);
        painter->drawEllipse(QPointF(std::floor(origin.x()) + 0.5, std::floor(origin.y()) + 0.5), 4,
                             4);
    }
    painter->restore();
}

void LevelMapView::wheelEvent(QWheelEvent* event) {
    const qreal notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomBy(std::pow(ZoomStep, notches), event->position());
    event->accept();
}

void LevelMapView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle = QRectF(viewport()->rect()).center();
    switch (event->key()) {
    case Qt::Key_Home:
        fitAll();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(ZoomStep, middle);
        break;
    case Qt::Key_Minus:
        zoomBy(1 / ZoomStep, middle);
        break;
    default:
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
}

// A press and release without a drag between them is a click.
void LevelMapView::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    m_pressPoint = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

void LevelMapView::mouseReleaseEvent(QMouseEvent* event) {
    QGraphicsView::mouseReleaseEvent(event);
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    const QPoint at = event->position().toPoint();
    if ((at - m_pressPoint).manhattanLength() >= QApplication::startDragDistance())
        return;
    if (const int row = markerUnder(at); row >= 0)
        emit markerClicked(row);
}

bool LevelMapView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const int row = markerUnder(help->pos()); row >= 0)
            QToolTip::showText(help->globalPos(), m_scene->rowDescription(row), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QGraphicsView::viewportEvent(event);
}

void LevelMapView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    const QRect inside = contentsRect();
    const int top = m_top->thickness();
    const int left = m_left->thickness();
    m_top->setGeometry(inside.left(), inside.top(), inside.width(), top);
    m_left->setGeometry(inside.left(), inside.top() + top, left, inside.height() - top);
    if (m_fitted)
        fitAll();
    viewChanged();
}

void LevelMapView::scrollContentsBy(int dx, int dy) {
    QGraphicsView::scrollContentsBy(dx, dy);
    if (dx != 0 || dy != 0)
        m_fitted = m_fitted && !m_pressed; // a drag pans away from the fit
    viewChanged();
}

void LevelMapView::viewChanged() {
    m_top->setMapping(viewportTransform(), gridStep());
    m_left->setMapping(viewportTransform(), gridStep());
}

} // namespace editor
