#pragma once

#include "levellistmodel.h"

#include <QColor>
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

// What the level map shows for one row: a ship entry or a base entry whose x and y are numbers.
struct MapMarker {
    enum class Shape : std::uint8_t {
        Triangle, // a ship with a heading
        Circle,   // a ship whose heading is not a number
        Square,   // a base
    };
    QPointF position;   // game coordinates: x to the right, y downward
    double heading = 0; // degrees as the ship panel's compass shows them: 0 up, 90 left
    Shape shape = Shape::Circle;
    QColor colour;
    QString label; // a base's file

    // The marker of a row, or nothing when the row shows none. Positions beyond a million
    // units, far outside any game screen, are not shown either (views could not scroll there).
    static std::optional<MapMarker> ofRow(std::string_view row);
};

// The colours of the map's markers.
namespace markercolours {
inline const QColor teamOne{0x1f, 0x5f, 0xd0};
inline const QColor teamTwo{0xd0, 0x30, 0x30};
inline const QColor otherTeam{0x8a, 0x8f, 0x98};
inline const QColor base{0x33, 0x38, 0x40};
} // namespace markercolours

// The level map's scene, in game coordinates: one marker per ship or base entry of the level,
// kept equal to the level's rows as they change, and a ring around the marker of the highlighted
// row. Markers are painted by one layer item (see MarkerLayer), not one item each: a level of
// 32,767 ships would cost too much in items.
class LevelMapScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit LevelMapScene(const LevelListModel& level, QObject* parent = nullptr);
    ~LevelMapScene() override;

    // The markers by row (0-based); nothing for rows that show none.
    const std::vector<std::optional<MapMarker>>& markers() const { return m_markers; }
    const MapMarker* marker(int row) const;
    int markerCount() const { return m_markerCount; }
    // Grows with every change of the markers.
    std::uint64_t version() const { return m_version; }

    // The topmost marker within distance of a scene point (the later row wins), or -1.
    int markerAt(QPointF scenePoint, qreal distance) const;
    // The area a view shows to show every marker: their bounds with a margin, or a default area
    // for a level without markers.
    QRectF fitArea() const;
    // "Row 12: ADD SHIP x= ...".
    QString rowDescription(int row) const;

    void setHighlightedRow(int row); // -1: none
    int highlightedRow() const { return m_highlightedRow; }

signals:
    // The markers changed (after the scene has taken the change in).
    void markersChanged();

private:
    void rowsInserted(const QModelIndex& parent, int first, int last);
    void rowsRemoved(const QModelIndex& parent, int first, int last);
    void rowsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
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

    const LevelListModel& m_level;
    std::vector<std::optional<MapMarker>> m_markers;
    int m_markerCount = 0;
    std::uint64_t m_version = 0;
    QRectF m_bounds; // of the markers' positions; invalid when there are none
    int m_highlightedRow = -1;
    MarkerLayer* m_layer = nullptr;
    QGraphicsItem* m_highlight = nullptr;
};

} // namespace editor
