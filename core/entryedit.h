#pragma once

#include "core/result.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace level {

// Editing ship and base entry rows in place: moving, turning, swapping the team and mirroring.
//
// Each edit reads the row as ViewEntryLine does and rewrites only the values it changes; every
// other byte of the row stays, unknown trailing fields and extra blanks included. Blanks and
// tabs around a changed value stay too, except before a ship's x and y: a ship's coordinate is
// written right after its key as the ship panel's line builder writes it, NumberText's
// " 100" or "-20", whatever blanks stood there; a base's as plain digits ("100", "-20") in
// its place among the blanks. A coordinate is always a whole number. A heading is written as a
// whole number of degrees from 0 to 359 without a sign column. Headings follow the game's
// convention: 0 up, 90 left, 180 down, 270 right, so a positive turn is counter-clockwise.
//
// An edit never touches a list: it returns the new row, or why it leaves the row as it is.

enum class EntryEditProblem {
    NotAnEntry,      // not an entry, or one whose fields cannot be read
    NotAShip,        // r= and team= belong to ship entries only
    NotANumber,      // the value to change from (x, y or r) is not a number
    NoTeamToSwap,    // team= is neither 1 nor 2
    LandsOnItself,   // a mirrored copy would stand where the entry stands
    BeyondRange,     // the new x or y would be beyond the range of numbers
    NotEnoughMemory, // no memory was left for the new row
};

using EntryEdit = Result<std::string, EntryEditProblem>;

// x and y moved by dx and dy and rounded to whole numbers (halves away from zero). Fails with
// NotANumber when x or y is not a number, and with BeyondRange when a new value would be beyond
// the range of numbers (the row would no longer hold a number there); so do the other edits of
// x and y.
EntryEdit MoveEntry(std::string_view row, double dx, double dy);

// x and y set to x and y rounded to whole numbers, whatever they held before.
EntryEdit PlaceEntry(std::string_view row, double x, double y);

// A ship's r= turned by `degrees` (counter-clockwise when positive) and brought to 0..359.
// Fails with NotANumber when r is not a number: such a heading is left as it is.
EntryEdit TurnShip(std::string_view row, int degrees);

// A ship's team= 1 made 2 and 2 made 1; blanks around the number stay. Any other team fails
// with NoTeamToSwap.
EntryEdit SwapShipTeam(std::string_view row);

enum class MirrorMode {
    Point,     // a half turn about the centre: x' = 2cx - x, y' = 2cy - y, r' = r + 180
    LeftRight, // about the line x = cx: x' = 2cx - x, r' = 360 - r
    TopBottom, // about the line y = cy: y' = 2cy - y, r' = 180 - r
};

struct MapPoint {
    double x = 0;
    double y = 0;
    bool operator==(const MapPoint&) const = default;
};

// The mirrored position of a point.
MapPoint MirroredPoint(MirrorMode mode, MapPoint centre, MapPoint point);
// The mirrored heading of a ship, any number of degrees, brought to [0, 360).
double MirroredHeading(MirrorMode mode, double heading);
// Whether a point lies within half a unit of the centre (Point: on both axes) or of the
// mirror line, where its mirrored copy would stand on it.
bool OnMirror(MirrorMode mode, MapPoint centre, MapPoint point);

// The copy of an entry for the other team: its position (and a ship's heading, where it is a
// number) mirrored, a ship's team 1 made 2 and 2 made 1 (other teams are kept), every other
// field as it was. Only the values the mode changes are rewritten: left-right leaves y as
// written, top-bottom x. Fails with NotANumber when x or y is not a number, and with
// LandsOnItself for an entry on the centre or on the mirror line (see OnMirror).
EntryEdit MirrorEntry(std::string_view row, MirrorMode mode, MapPoint centre);

// The level map draws the entries whose x and y lie within ±MapCoordinateLimit; the level check
// warns of the others.
inline constexpr double MapCoordinateLimit = 1e6;

// Whether the level map draws an entry at this point: x and y within ±MapCoordinateLimit.
bool OnMap(MapPoint point);

// The smallest box around points.
struct MapBounds {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
    bool empty = true;

    void Add(MapPoint point);
    // Halved first, so that the middle of the largest numbers is no infinity.
    MapPoint Centre() const { return {minX / 2 + maxX / 2, minY / 2 + maxY / 2}; }
};

// The middle of the box around the entries at `points` that the level map draws (see OnMap),
// or nothing when none is left. The level map's mirror centre and the level check's first
// symmetry centre are both this one, so that they count the same entries.
std::optional<MapPoint> MapCentre(std::span<const MapPoint> points);

// The two centres a level offers for mirroring, each a MapCentre: that of all entries and that
// of the bases. Entries whose x or y is not a number are left out, and so are those the map
// does not draw; a centre is nothing when no entry (no base) is left.
struct LevelCentres {
    std::optional<MapPoint> entries;
    std::optional<MapPoint> bases;
};
LevelCentres FindLevelCentres(const std::vector<std::string>& rows);

} // namespace level
