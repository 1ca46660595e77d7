#pragma once

#include "editor/levelmap/mapmarker.h"

#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QImage>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace editor {

// Paints every marker of the level map in one item, with a level of detail. In detail, ships are
// triangles pointing along their heading (circles without one) and bases are squares, labelled
// with their file where the label has room; markers grow with the zoom up to a limit. Far zoomed
// out, or with more markers in view than can be drawn in detail within a frame, every marker is
// a dot. The choice holds for the whole view, also where only part of it is repainted.
class MarkerLayer : public QGraphicsItem {
public:
    explicit MarkerLayer(const MapMarkers& markers);

    // The layer covers the scene; setArea follows the scene rect.
    QRectF boundingRect() const override { return m_area; }
    void setArea(const QRectF& area);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // Marker sizes in pixels at a zoom (pixels per game unit).
    static qreal shipPixels(qreal zoom);
    static qreal basePixels(qreal zoom);
    // Whether markers are drawn in detail at a zoom with that many markers in view.
    static bool detailedAt(qreal zoom, int markersInView);
    // The pixels a marker (without label) reaches from its position at most, in any detail.
    static constexpr qreal Reach = 16; // a selected marker's halo

    // Markers in view up to which the detailed drawing stays within a frame (measured).
    static constexpr int DetailBudget = 1500;

private:
    void paintDots(QPainter* painter, const QTransform& toDevice, const QRect& deviceArea,
                   const std::vector<int>& rows);
    void paintDetailed(QPainter* painter, const QTransform& toDevice, qreal zoom,
                       const QRectF& exposed, const std::vector<int>& rows);
    // Which bases get their label at a zoom, and where: greedily in row order, each at the first
    // place around its base (right, left, below, above) where it overlaps no marker and no label
    // placed before. Kept until the zoom or the markers change.
    void placeLabels(qreal zoom, const QFontMetricsF& metrics);

    const MapMarkers& m_markers;
    QRectF m_area;
    std::vector<int> m_inView; // scratch
    QImage m_dots;             // scratch
    bool m_paintedDetailed = false;
    // The labelled bases' rows and their labels' places in pixels relative to the base, for
    // m_labelZoom and m_labelVersion of the markers.
    std::unordered_map<int, QRectF> m_labelled;
    qreal m_labelZoom = 0;
    std::uint64_t m_labelVersion = ~std::uint64_t{0};
};

} // namespace editor
