#include "editor/levelmap/levelmapview.h"

#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/mapruler.h"
#include "editor/levelmap/markerlayer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
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
// The centre cross: its half size, and how close the pointer must be to grab it (pixels).
constexpr qreal CrossPixels = 9;
constexpr qreal CrossGrab = 8;
const QColor CrossColour(0x7b, 0x3f, 0xb8);
// What one turn key turns, one arrow key moves, and with Shift.
constexpr int TurnDegrees = 15;
constexpr qreal NudgeStep = 1;
constexpr qreal NudgeFarStep = 10;

} // namespace

LevelMapView::LevelMapView(LevelMapScene* scene, QWidget* parent)
    : QGraphicsView(scene, parent)
    , m_scene(scene)
    , m_top(new MapRuler(Qt::Horizontal, this))
    , m_left(new MapRuler(Qt::Vertical, this))
    , m_band(new QRubberBand(QRubberBand::Rectangle, viewport())) {
    setDragMode(NoDrag);
    setTransformationAnchor(NoAnchor);
    setResizeAnchor(AnchorViewCenter);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setOptimizationFlags(DontAdjustForAntialiasing);
    // The pointer is followed without a button down, so that a paste can land under it.
    viewport()->setMouseTracking(true);
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
    drawCentre(painter, toDevice, device);
    painter->restore();
}

// The mirror's centre: a ring with a cross, and the mirror line through it (dashed) when the
// mirror is a line; beneath the markers, so that it hides none. Painted in device pixels.
void LevelMapView::drawCentre(QPainter* painter, const QTransform& toDevice, const QRectF& device) {
    const QPointF c = toDevice.map(m_centre);
    painter->setPen(QPen(CrossColour, 1, Qt::DashLine));
    const qreal x = std::floor(c.x()) + 0.5;
    const qreal y = std::floor(c.y()) + 0.5;
    // The whole line from the viewport's edge, so that its dashes meet where parts are repainted.
    const QRectF port = viewport()->rect();
    if (m_mode == level::MirrorMode::LeftRight)
        painter->drawLine(QPointF(x, port.top()), QPointF(x, port.bottom()));
    else if (m_mode == level::MirrorMode::TopBottom)
        painter->drawLine(QPointF(port.left(), y), QPointF(port.right(), y));
    if (device.adjusted(-CrossPixels - 2, -CrossPixels - 2, CrossPixels + 2, CrossPixels + 2)
            .contains(c)) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Qt::white, 4));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QPointF(x, y), CrossPixels * 0.6, CrossPixels * 0.6);
        painter->setPen(QPen(CrossColour, 1.5));
        painter->drawEllipse(QPointF(x, y), CrossPixels * 0.6, CrossPixels * 0.6);
        painter->drawLine(QPointF(x - CrossPixels, y), QPointF(x + CrossPixels, y));
        painter->drawLine(QPointF(x, y - CrossPixels), QPointF(x, y + CrossPixels));
    }
}

void LevelMapView::wheelEvent(QWheelEvent* event) {
    const qreal notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomBy(std::pow(ZoomStep, notches), event->position());
    event->accept();
}

void LevelMapView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle = QRectF(viewport()->rect()).center();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool held = event->isAutoRepeat();
    if (m_gesture != Gesture::None && m_gesture != Gesture::Press) {
        // While a drag is under way, Escape takes it back; other keys wait.
        if (event->key() == Qt::Key_Escape)
            cancelGesture();
        event->accept();
        return;
    }
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
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!plain && !shift) {
            QGraphicsView::keyPressEvent(event);
            return;
        }
        const QPointF direction = event->key() == Qt::Key_Left    ? QPointF(-1, 0)
                                  : event->key() == Qt::Key_Right ? QPointF(1, 0)
                                  : event->key() == Qt::Key_Up    ? QPointF(0, -1)
                                                                  : QPointF(0, 1);
        if (m_scene->selectedCount() > 0)
            emit nudgeAsked(nudge(direction, shift), held);
        break;
    }
    case Qt::Key_Q:
    case Qt::Key_E:
        if (!plain) {
            QGraphicsView::keyPressEvent(event);
            return;
        }
        emit turnAsked(event->key() == Qt::Key_Q ? TurnDegrees : -TurnDegrees, held);
        break;
    case Qt::Key_T:
        if (plain && !held)
            emit teamSwapAsked();
        break;
    case Qt::Key_M:
        if (plain && !held)
            emit mirrorAsked();
        break;
    case Qt::Key_G:
        if (plain && !held)
            setSnap(!m_snap);
        break;
    case Qt::Key_Delete:
        if (!held)
            emit deleteAsked();
        break;
    case Qt::Key_Escape:
        emit escapePressed();
        break;
    case Qt::Key_A:
        if (modifiers != Qt::ControlModifier) {
            QGraphicsView::keyPressEvent(event);
            return;
        }
        emit selectAllAsked();
        break;
    case Qt::Key_C:
    case Qt::Key_X:
    case Qt::Key_V:
    case Qt::Key_D: {
        if (modifiers != Qt::ControlModifier) {
            QGraphicsView::keyPressEvent(event);
            return;
        }
        if (held)
            break;
        const auto what = event->key() == Qt::Key_C   ? Clipboard::Copy
                          : event->key() == Qt::Key_X ? Clipboard::Cut
                          : event->key() == Qt::Key_V ? Clipboard::Paste
                                                      : Clipboard::Duplicate;
        // A paste lands under the pointer when it is over the map, else where the rows say.
        emit clipboardAsked(what, m_pointer.has_value(),
                            m_pointer ? placeFor(mapToScene(*m_pointer)) : QPointF());
        break;
    }
    case Qt::Key_Space:
        m_spaceHeld = true;
        viewport()->setCursor(Qt::OpenHandCursor);
        break;
    default:
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LevelMapView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (m_gesture != Gesture::Pan)
            viewport()->unsetCursor();
    }
    QGraphicsView::keyReleaseEvent(event);
}

// A window that takes the focus away also takes a drag under way.
void LevelMapView::focusOutEvent(QFocusEvent* event) {
    m_spaceHeld = false;
    if (m_gesture != Gesture::Pan)
        viewport()->unsetCursor();
    if (m_gesture == Gesture::Drag || m_gesture == Gesture::Centre || m_gesture == Gesture::Band)
        cancelGesture();
    QGraphicsView::focusOutEvent(event);
}

void LevelMapView::setSnap(bool snap) {
    if (snap == m_snap)
        return;
    m_snap = snap;
    emit snapChanged(snap);
}

QPointF LevelMapView::snapped(QPointF point) const {
    const qreal step = gridStep();
    return QPointF(std::round(point.x() / step) * step, std::round(point.y() / step) * step);
}

QPointF LevelMapView::placeFor(QPointF scenePoint) const {
    return m_snap ? snapped(scenePoint)
                  : QPointF(std::round(scenePoint.x()), std::round(scenePoint.y()));
}

QPointF LevelMapView::nudge(QPointF direction, bool far) const {
    if (!m_snap)
        return direction * (far ? NudgeFarStep : NudgeStep);
    // The current row's marker (or the first selected one) goes to the next grid line that way.
    const int current = m_scene->highlightedRow();
    const MapMarker* anchor = m_scene->isSelected(current)
                                  ? m_scene->marker(current)
                                  : m_scene->marker(m_scene->selectedRows().front());
    const qreal step = gridStep();
    const auto next = [step](qreal from, qreal sign) {
        const qreal line =
            sign > 0 ? std::floor(from / step + 1e-9) + 1 : std::ceil(from / step - 1e-9) - 1;
        return line * step - from;
    };
    const QPointF from = anchor->position;
    return QPointF(direction.x() == 0 ? 0 : next(from.x(), direction.x()),
                   direction.y() == 0 ? 0 : next(from.y(), direction.y()));
}

void LevelMapView::setMirror(level::MirrorMode mode, QPointF centre) {
    if (mode == m_mode && centre == m_centre)
        return;
    m_mode = mode;
    m_centre = centre;
    viewport()->update();
}

bool LevelMapView::nearCentre(QPoint viewportPoint) const {
    const QPointF d = mapFromScene(m_centre) - viewportPoint;
    return std::hypot(d.x(), d.y()) <= CrossGrab;
}

QPointF LevelMapView::dragOffset(QPoint viewportPoint) const {
    const QPointF moved = mapToScene(viewportPoint) - mapToScene(m_pressPoint);
    const MapMarker* grabbed = m_scene->marker(m_pressRow);
    if (m_snap && grabbed)
        return snapped(grabbed->position + moved) - grabbed->position;
    return QPointF(std::round(moved.x()), std::round(moved.y()));
}

void LevelMapView::cancelGesture() {
    const Gesture was = m_gesture;
    m_gesture = Gesture::None;
    m_band->hide();
    if (!m_spaceHeld)
        viewport()->unsetCursor();
    if (was == Gesture::Drag)
        m_scene->setDragOffset(QPointF());
    if (was == Gesture::Centre) {
        m_centre = m_centreBefore;
        viewport()->update();
    }
}

void LevelMapView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_gesture != Gesture::None) {
        event->accept();
        return;
    }
    m_pressPoint = at;
    m_lastPoint = at;
    m_pressModifiers = event->modifiers();
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_spaceHeld)) {
        m_gesture = Gesture::Pan;
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        // A marker lies above the centre cross.
        m_pressRow = markerUnder(at);
        m_gesture = m_pressRow < 0 && nearCentre(at) ? Gesture::Centre : Gesture::Press;
        m_centreBefore = m_centre;
        // Pressing a marker outside the selection selects it, so that a drag moves it.
        if (m_pressRow >= 0 && !(m_pressModifiers & Qt::ControlModifier) &&
            !m_scene->isSelected(m_pressRow))
            emit markerGrabbed(m_pressRow);
    }
    event->accept();
}

void LevelMapView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    m_pointer = at;
    switch (m_gesture) {
    case Gesture::None:
        QGraphicsView::mouseMoveEvent(event);
        return;
    case Gesture::Pan: {
        const QPoint moved = at - m_lastPoint;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - moved.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - moved.y());
        m_fitted = false;
        break;
    }
    case Gesture::Press:
        if ((at - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
            break;
        if (m_pressRow >= 0 && m_scene->isSelected(m_pressRow) &&
            !(m_pressModifiers & Qt::ControlModifier))
            m_gesture = Gesture::Drag;
        else if (m_pressRow < 0)
            m_gesture = Gesture::Band;
        else
            break; // Ctrl on a marker: a click only
        [[fallthrough]];
    case Gesture::Drag:
    case Gesture::Band:
        if (m_gesture == Gesture::Drag) {
            m_scene->setDragOffset(dragOffset(at));
        } else {
            m_band->setGeometry(QRect(m_pressPoint, at).normalized());
            m_band->show();
        }
        break;
    case Gesture::Centre: {
        // The centre goes to half units, or to the grid with snapping on; the view shows it there
        // while the window keeps the one from before the drag until the button is released.
        const QPointF wanted = mapToScene(at);
        const QPointF place =
            m_snap ? snapped(wanted)
                   : QPointF(std::round(wanted.x() * 2) / 2, std::round(wanted.y() * 2) / 2);
        if (place != m_centre) {
            m_centre = place;
            viewport()->update();
        }
        break;
    }
    }
    m_lastPoint = at;
    event->accept();
}

void LevelMapView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Gesture was = m_gesture;
    const bool left = event->button() == Qt::LeftButton;
    const bool ends = (was == Gesture::Pan && (event->button() == Qt::MiddleButton || left)) ||
                      (was != Gesture::Pan && left);
    if (was == Gesture::None || !ends) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    m_gesture = Gesture::None;
    m_band->hide();
    if (!m_spaceHeld)
        viewport()->unsetCursor();
    switch (was) {
    case Gesture::None:
    case Gesture::Pan:
        break;
    case Gesture::Press:
        if (m_pressRow >= 0)
            emit markerClicked(m_pressRow, m_pressModifiers);
        else if (!(m_pressModifiers & Qt::ControlModifier))
            emit emptyClicked();
        break;
    case Gesture::Band:
        emit bandDrawn(QRectF(mapToScene(m_pressPoint), mapToScene(at)).normalized(),
                       m_pressModifiers);
        break;
    case Gesture::Drag: {
        const QPointF offset = m_scene->dragOffset();
        m_scene->setDragOffset(QPointF());
        if (!offset.isNull())
            emit dragFinished(offset);
        break;
    }
    case Gesture::Centre:
        emit centreDragged(m_centre);
        break;
    }
    event->accept();
}

// The right button's menu, at the point clicked: a paste from it lands there.
void LevelMapView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_gesture != Gesture::None)
        return;
    emit menuAsked(event->globalPos(), placeFor(mapToScene(event->pos())));
    event->accept();
}

// A double-click on empty map places an entry there; on a marker it is a second click.
void LevelMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || m_spaceHeld || markerUnder(at) >= 0 ||
        nearCentre(at)) {
        mousePressEvent(event);
        return;
    }
    emit placeAsked(placeFor(mapToScene(at)), event->modifiers());
    event->accept();
}

bool LevelMapView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave)
        m_pointer.reset();
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
        m_fitted = m_fitted && m_gesture != Gesture::Pan; // a drag pans away from the fit
    viewChanged();
}

void LevelMapView::viewChanged() {
    m_top->setMapping(viewportTransform(), gridStep());
    m_left->setMapping(viewportTransform(), gridStep());
}

} // namespace editor
