#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

#include "editor/document/selection.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace editor {

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
inline const QColor selection{0xf0, 0x9a, 0x00}; // the selection's halo, the current row's ring
} // namespace markercolours

// The markers of a level, by row (0-based; nothing for rows that show none): what the level map's
// scene keeps equal to the rows, and what its marker layer paints.
// The map's selection is the level document's: the chosen rows that show a marker.
struct MapMarkers {
    explicit MapMarkers(const Selection& chosen)
        : selection(chosen) {}

    std::vector<std::optional<MapMarker>> rows;
    const Selection& selection;
    int count = 0;             // rows that show a marker
    int selected = 0;          // markers in the selection
    std::uint64_t version = 0; // grows with every change
    // Where selected markers are shown, relative to their rows' places, while they are dragged.
    QPointF dragOffset;

    bool isSelected(int row) const {
        return selection.contains(static_cast<Selection::Index>(row));
    }
    QPointF shownAt(int row, const MapMarker& marker) const {
        return isSelected(row) ? marker.position + dragOffset : marker.position;
    }
};

} // namespace editor
