#include "editor/levelmap/markerlayer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace editor {

namespace {

// A ship is drawn as if it were this many game units long, a base this wide, within the pixel
// limits below.
constexpr qreal ShipUnits = 60;
constexpr qreal BaseUnits = 80;
constexpr qreal MaxShipPixels = 20;
constexpr qreal MinBasePixels = 7;
constexpr qreal MaxBasePixels = 16;
// Ships smaller than this are dots.
constexpr qreal MinShipPixels = 7;
// Dots, in pixels.
constexpr int ShipDot = 3;
constexpr int BaseDot = 4;
// Labels: their widest, the gap to their square, the most bases that are labelled at all.
constexpr qreal MaxLabelPixels = 160;
constexpr qreal LabelGap = 4;
constexpr std::size_t MaxLabelledBases = 4000;

QRgb opaque(const QColor& colour) {
    return colour.rgb() | 0xff000000u;
}

// Fills a square of the image around a point, clipped to the image.
void plot(QImage& image, QPointF centre, int size, QRgb colour) {
    const int left = static_cast<int>(std::floor(centre.x())) - size / 2;
    const int top = static_cast<int>(std::floor(centre.y())) - size / 2;
    const int x0 = std::max(left, 0);
    const int x1 = std::min(left + size, image.width());
    const int y0 = std::max(top, 0);
    const int y1 = std::min(top + size, image.height());
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + std::max(x0, x1), colour);
    }
}

// The places a label may take around its base's square, relative to the base, in the order
// they are tried: right, left, below, above.
std::array<QRectF, 4> labelPlaces(qreal squarePixels, qreal width, qreal height) {
    const qreal side = squarePixels / 2 + LabelGap;
    return {QRectF(side, -height / 2, width, height),
            QRectF(-side - width, -height / 2, width, height),
            QRectF(-width / 2, squarePixels / 2 + 1, width, height),
            QRectF(-width / 2, -squarePixels / 2 - 1 - height, width, height)};
}

} // namespace

MarkerLayer::MarkerLayer(const MapMarkers& markers)
    : m_markers(markers) {
    setFlag(ItemUsesExtendedStyleOption); // paint gets the exposed part
    setAcceptedMouseButtons(Qt::NoButton);
}

void MarkerLayer::setArea(const QRectF& area) {
    if (area == m_area)
        return;
    prepareGeometryChange();
    m_area = area;
}

qreal MarkerLayer::shipPixels(qreal zoom) {
    return std::min(ShipUnits * zoom, MaxShipPixels);
}

qreal MarkerLayer::basePixels(qreal zoom) {
    return std::clamp(BaseUnits * zoom, MinBasePixels, MaxBasePixels);
}

bool MarkerLayer::detailedAt(qreal zoom, int markersInView) {
    return shipPixels(zoom) >= MinShipPixels && markersInView <= DetailBudget;
}

void MarkerLayer::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                        QWidget* widget) {
    const QTransform toDevice = painter->worldTransform();
    const qreal zoom = std::hypot(toDevice.m11(), toDevice.m12());
    if (!(zoom > 0) || m_markers.count == 0)
        return;
    const QTransform toScene = toDevice.inverted();
    const QRectF exposed = option->exposedRect;
    // The detail is chosen for the whole view, so that a repainted part never differs from the
    // rest; markers just outside the exposed part may reach into it.
    const QRect deviceView = widget ? widget->rect() : toDevice.mapRect(exposed).toAlignedRect();
    const qreal reach = (Reach + 1) / zoom;
    const QRectF inView =
        toScene.mapRect(QRectF(deviceView)).adjusted(-reach, -reach, reach, reach);
    const QRectF near = exposed.adjusted(-reach, -reach, reach, reach);
    // Labels reach further to the right of their base.
    const QRectF nearLabel =
        near.adjusted(-(MaxLabelPixels + LabelGap + MaxBasePixels) / zoom, 0, 0, 0);

    const auto& markers = m_markers.rows;
    int count = 0;
    m_inView.clear();
    for (int row = 0; row < static_cast<int>(markers.size()); ++row) {
        const auto& marker = markers[static_cast<std::size_t>(row)];
        if (!marker)
            continue;
        const QPointF at = m_markers.shownAt(row, *marker);
        if (!inView.contains(at))
            continue;
        ++count;
        const bool isBase = marker->shape == MapMarker::Shape::Square;
        if ((isBase ? nearLabel : near).contains(at))
            m_inView.push_back(row);
    }

    // When the choice changes, a part painted the other way must not stay beside this one.
    const bool detailed = detailedAt(zoom, count);
    if (detailed != m_paintedDetailed) {
        m_paintedDetailed = detailed;
        if (!exposed.contains(toScene.mapRect(QRectF(deviceView))))
            update();
    }

    painter->save();
    painter->resetTransform();
    if (detailed)
        paintDetailed(painter, toDevice, zoom, toDevice.mapRect(exposed), m_inView);
    else
        paintDots(painter, toDevice, toDevice.mapRect(exposed).toAlignedRect() & deviceView,
                  m_inView);
    painter->restore();
}

// Dots go straight into an image of the exposed part: far quicker than a fill per marker.
void MarkerLayer::paintDots(QPainter* painter, const QTransform& toDevice, const QRect& deviceArea,
                            const std::vector<int>& rows) {
    if (deviceArea.isEmpty())
        return;
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QSize size(static_cast<int>(std::ceil(deviceArea.width() * ratio)),
                     static_cast<int>(std::ceil(deviceArea.height() * ratio)));
    if (m_dots.size() != size)
        m_dots = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_dots.fill(Qt::transparent);
    const int shipDot = static_cast<int>(std::lround(ShipDot * ratio));
    const int baseDot = static_cast<int>(std::lround(BaseDot * ratio));
    const int selectedDot = shipDot + static_cast<int>(std::lround(4 * ratio));
    const QRgb selection = opaque(markercolours::selection);
    const QPointF origin = deviceArea.topLeft();
    const auto& markers = m_markers.rows;
    // Selected markers get a larger dot of the selection's colour beneath their own, drawn
    // first so that no halo covers another marker.
    if (m_markers.selected > 0)
        for (const int row : rows)
            if (m_markers.isSelected(row))
                plot(
                    m_dots,
                    (toDevice.map(m_markers.shownAt(row, *markers[static_cast<std::size_t>(row)])) -
                     origin) *
                        ratio,
                    selectedDot, selection);
    for (const int row : rows) {
        const MapMarker& marker = *markers[static_cast<std::size_t>(row)];
        const QPointF at = (toDevice.map(m_markers.shownAt(row, marker)) - origin) * ratio;
        const bool isBase = marker.shape == MapMarker::Shape::Square;
        plot(m_dots, at, isBase ? baseDot : shipDot, opaque(marker.colour));
    }
    m_dots.setDevicePixelRatio(ratio);
    painter->drawImage(deviceArea.topLeft(), m_dots);
}

void MarkerLayer::paintDetailed(QPainter* painter, const QTransform& toDevice, qreal zoom,
                                const QRectF& exposed, const std::vector<int>& rows) {
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal ship = shipPixels(zoom);
    const qreal base = basePixels(zoom);
    const auto& markers = m_markers.rows;
    const QRectF exposedNear = exposed.adjusted(-Reach - 1, -Reach - 1, Reach + 1, Reach + 1);
    if (m_markers.selected > 0) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(markercolours::selection, 2.5));
        const qreal halo = std::max(ship, base) * 0.5 + 3;
        for (const int row : rows) {
            const MapMarker& marker = *markers[static_cast<std::size_t>(row)];
            const QPointF c = toDevice.map(m_markers.shownAt(row, marker));
            if (m_markers.isSelected(row) && exposedNear.contains(c))
                painter->drawEllipse(c, halo, halo);
        }
    }
    for (const int row : rows) {
        const MapMarker& marker = *markers[static_cast<std::size_t>(row)];
        const QPointF c = toDevice.map(m_markers.shownAt(row, marker));
        if (!exposedNear.contains(c)) // a base here for its label only
            continue;
        painter->setBrush(marker.colour);
        painter->setPen(QPen(marker.colour.darker(160), 1));
        switch (marker.shape) {
        case MapMarker::Shape::Triangle: {
            // The heading turns "up" against the clock (y grows downward): 90 is left.
            const qreal angle = marker.heading * std::numbers::pi / 180;
            const qreal cs = std::cos(angle);
            const qreal sn = std::sin(angle);
            auto turned = [&](qreal x, qreal y) {
                return c + QPointF(x * cs + y * sn, -x * sn + y * cs) * ship;
            };
            const QPointF corners[3] = {turned(0, -0.6), turned(-0.42, 0.45), turned(0.42, 0.45)};
            painter->drawPolygon(corners, 3);
            break;
        }
        case MapMarker::Shape::Circle:
            painter->drawEllipse(c, ship * 0.32, ship * 0.32);
            break;
        case MapMarker::Shape::Square:
            painter->setPen(QPen(marker.colour.lighter(260), 1));
            painter->drawRect(QRectF(c.x() - base / 2, c.y() - base / 2, base, base));
            break;
        }
    }
    if (std::none_of(rows.begin(), rows.end(), [&](int row) {
            return markers[static_cast<std::size_t>(row)]->shape == MapMarker::Shape::Square;
        }))
        return;

    const QFontMetricsF metrics(painter->font());
    placeLabels(zoom, metrics);
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (const int row : rows) {
        const MapMarker& marker = *markers[static_cast<std::size_t>(row)];
        const auto place = m_labelled.find(row);
        if (place == m_labelled.end())
            continue;
        const QRectF box = place->second.translated(toDevice.map(m_markers.shownAt(row, marker)));
        if (!box.intersects(exposed))
            continue;
        painter->fillRect(box, QColor(255, 255, 255, 215));
        painter->setPen(marker.colour);
        painter->drawText(box, Qt::AlignCenter,
                          metrics.elidedText(marker.label, Qt::ElideMiddle, MaxLabelPixels));
    }
}

void MarkerLayer::placeLabels(qreal zoom, const QFontMetricsF& metrics) {
    if (zoom == m_labelZoom && m_markers.version == m_labelVersion)
        return;
    m_labelZoom = zoom;
    m_labelVersion = m_markers.version;
    m_labelled.clear();

    const auto& markers = m_markers.rows;
    std::vector<int> bases;
    for (int row = 0; row < static_cast<int>(markers.size()); ++row)
        if (markers[static_cast<std::size_t>(row)] &&
            markers[static_cast<std::size_t>(row)]->shape == MapMarker::Shape::Square)
            bases.push_back(row);
    if (bases.empty() || bases.size() > MaxLabelledBases)
        return;

    // Rectangles in pixels at this zoom (independent of panning), filed in square cells: first
    // every marker, then each label placed.
    constexpr qreal Cell = 64;
    std::unordered_map<std::int64_t, std::vector<QRectF>> cells;
    auto cellsOf = [](const QRectF& r, auto&& visit) {
        const auto x0 = static_cast<std::int64_t>(std::floor(r.left() / Cell));
        const auto x1 = static_cast<std::int64_t>(std::floor(r.right() / Cell));
        const auto y0 = static_cast<std::int64_t>(std::floor(r.top() / Cell));
        const auto y1 = static_cast<std::int64_t>(std::floor(r.bottom() / Cell));
        for (auto y = y0; y <= y1; ++y)
            for (auto x = x0; x <= x1; ++x)
                if (!visit(y * 4'000'000'000 + x))
                    return false;
        return true;
    };
    auto add = [&](const QRectF& r) {
        cellsOf(r, [&](std::int64_t key) {
            cells[key].push_back(r);
            return true;
        });
    };
    auto isFree = [&](const QRectF& r) {
        return cellsOf(r, [&](std::int64_t key) {
            const auto it = cells.find(key);
            return it == cells.end() ||
                   std::none_of(it->second.begin(), it->second.end(),
                                [&](const QRectF& other) { return other.intersects(r); });
        });
    };

    const qreal base = basePixels(zoom);
    const qreal ship = shipPixels(zoom) * 1.2; // a triangle turned any way
    for (int row = 0; row < static_cast<int>(markers.size()); ++row) {
        const auto& marker = markers[static_cast<std::size_t>(row)];
        if (!marker)
            continue;
        const qreal size = marker->shape == MapMarker::Shape::Square ? base : ship;
        const QPointF c = m_markers.shownAt(row, *marker) * zoom;
        add(QRectF(c.x() - size / 2, c.y() - size / 2, size, size));
    }
    for (const int row : bases) {
        const MapMarker& marker = *markers[static_cast<std::size_t>(row)];
        if (marker.label.isEmpty())
            continue;
        const qreal width = std::min(metrics.horizontalAdvance(marker.label), MaxLabelPixels) + 4;
        const QPointF c = m_markers.shownAt(row, marker) * zoom;
        for (const QRectF& place : labelPlaces(base, width, metrics.height())) {
            if (isFree(place.translated(c))) {
                add(place.translated(c));
                m_labelled.emplace(row, place);
                break;
            }
        }
    }
}

} // namespace editor
