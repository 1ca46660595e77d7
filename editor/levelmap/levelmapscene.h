#pragma once

#include "editor/document/leveldocument.h"
#include "editor/levelmap/mapmarker.h"

#include <QGraphicsScene>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace editor {

class MarkerLayer;

// The level map's scene, in game coordinates: one marker per ship or base entry of the level,
// kept equal to the level's rows as each step changes them (in time that grows with the rows the
// step changed), the chosen rows' markers highlighted, and a ring around the marker of the
// current row. Markers are painted by one layer item (see MarkerLayer), not one item each: a level
// of 32,767 ships would cost too much in items.
class LevelMapScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit LevelMapScene(const LevelDocument& level, QObject* parent = nullptr);
    ~LevelMapScene() override;

    // The markers by row (0-based); nothing for rows that show none.
    const std::vector<std::optional<MapMarker>>& markers() const { return m_markers.rows; }
    const MapMarker* marker(int row) const;
    int markerCount() const { return m_markers.count; }
    // Grows with every change of the markers.
    std::uint64_t version() const { return m_markers.version; }

    // The topmost marker within distance of a scene point (the later row wins), or -1.
    int markerAt(QPointF scenePoint, qreal distance) const;
    // The area a view shows to show every marker: their bounds with a margin, or a default area
    // for a level without markers.
    QRectF fitArea() const;
    // "Row 12: ADD SHIP x= ...".
    QString rowDescription(int row) const;

    // The current row of the level, ringed (-1: none).
    int highlightedRow() const;

    // The map's selection: the level's chosen rows that show a marker.
    std::vector<int> selectedRows() const; // ascending
    int selectedCount() const { return m_markers.selected; }
    bool isSelected(int row) const;
    // The rows of the markers inside a rectangle of the map.
    std::vector<int> rowsIn(const QRectF& area) const;
    // Shows the selected markers moved by offset (while they are dragged); their rows stay.
    void setDragOffset(QPointF offset);
    QPointF dragOffset() const { return m_markers.dragOffset; }
    // The box around the markers' places; invalid when there are none.
    QRectF markerBounds() const { return m_bounds; }

signals:
    // The markers changed (after the scene has taken the change in).
    void markersChanged();

private:
    void documentChanged(const DocumentChange& change);
    void rowsInserted(const std::vector<LevelDocument::Index>& rows);
    void rowsRemoved(const std::vector<LevelDocument::Index>& rows);
    void rowsChanged(const std::vector<LevelDocument::Index>& rows);
    void rebuild();
    std::optional<MapMarker> readRow(int row) const;
    void recomputeBounds();
    void include(const MapMarker& marker);
    // Grows the scene rect so that views can pan a fit area's size beyond every marker;
    // reset: fits it to the markers anew.
    void updateSceneRect(bool reset);
    // Takes a change in; with a position, only the marker there changed.
    void changed(std::optional<QPointF> only = std::nullopt);
    void placeHighlight();
    void countSelected();

    const LevelDocument& m_level;
    MapMarkers m_markers; // painted by m_layer
    QRectF m_bounds;      // of the markers' positions; invalid when there are none
    MarkerLayer* m_layer = nullptr;
    QGraphicsItem* m_highlight = nullptr;
};

} // namespace editor
