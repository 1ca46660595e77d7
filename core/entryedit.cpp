#include "core/entryedit.h"

#include "core/entrylines.h"
#include "core/entryparse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <new>

namespace level {

namespace {

using Problem = EntryEditProblem;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A value as it stands between its key and the next one: the blanks before it, the text
// itself and the blanks after it.
struct Padded {
    std::string_view before;
    std::string_view text;
    std::string_view after;
};

Padded padded(std::string_view value) {
    std::size_t first = 0;
    while (first < value.size() && isBlank(value[first]))
        ++first;
    std::size_t end = value.size();
    while (end > first && isBlank(value[end - 1]))
        --end;
    return {value.substr(0, first), value.substr(first, end - first), value.substr(end)};
}

// A whole number in decimal digits with "-" before a negative one and nothing before others.
std::string plainWhole(double whole) {
    const std::string text = NumberText(whole);
    return text.front() == ' ' ? text.substr(1) : text;
}

// The new text of an x= or y= value: the number rounded to a whole one. A ship's stands right
// after its key as the ship panel writes it, NumberText's sign column and all (" 5", "-5"),
// whatever blanks stood before; a base's keeps the blanks before it. The blanks after the
// number stay in both.
std::string coordinateText(std::string_view value, double number, EntryKind kind) {
    const double whole = std::round(number);
    const Padded parts = padded(value);
    if (kind == EntryKind::Base)
        return std::string(parts.before) + plainWhole(whole) + std::string(parts.after);
    return NumberText(whole) + std::string(parts.after);
}

// A heading in degrees as a whole number from 0 to 359.
double wholeHeading(double degrees) {
    double whole = std::fmod(std::round(std::fmod(degrees, 360.0)), 360.0);
    if (whole < 0)
        whole += 360.0;
    return whole == 0 ? 0 : whole; // no "-0"
}

std::string headingText(std::string_view value, double degrees) {
    const Padded parts = padded(value);
    return std::string(parts.before) + plainWhole(wholeHeading(degrees)) + std::string(parts.after);
}

// Team 1 made 2 and 2 made 1, or nothing for any other team.
std::optional<std::string> swappedTeam(std::string_view value) {
    const Padded parts = padded(value);
    if (parts.text != "1" && parts.text != "2")
        return std::nullopt;
    return std::string(parts.before) + (parts.text == "1" ? "2" : "1") + std::string(parts.after);
}

// The row with some of its values replaced. A value is a view into the row, so its place is
// known from where it points.
class Rewrite {
public:
    explicit Rewrite(std::string_view row)
        : m_row(row) {}

    void Replace(std::string_view value, std::string text) {
        m_parts[m_count++] = {static_cast<std::size_t>(value.data() - m_row.data()), value.size(),
                              std::move(text)};
    }

    std::string Row() {
        std::sort(m_parts.begin(), m_parts.begin() + static_cast<std::ptrdiff_t>(m_count),
                  [](const Part& a, const Part& b) { return a.offset < b.offset; });
        std::string row;
        row.reserve(m_row.size() + 16);
        std::size_t done = 0;
        for (std::size_t i = 0; i < m_count; ++i) {
            row.append(m_row.substr(done, m_parts[i].offset - done));
            row += m_parts[i].text;
            done = m_parts[i].offset + m_parts[i].length;
        }
        row.append(m_row.substr(done));
        return row;
    }

private:
    struct Part {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::string text;
    };
    std::string_view m_row;
    std::array<Part, 4> m_parts; // x, y, r, team
    std::size_t m_count = 0;
};

// The entry of a row whose fields can be read.
Result<EntryView, Problem> readableEntry(std::string_view row) {
    std::optional<EntryView> entry = ViewEntryLine(row);
    if (!entry || entry->fault)
        return Problem::NotAnEntry;
    return *entry;
}

// An entry whose x= and y= are numbers, as moving and mirroring need.
Result<EntryView, Problem> placedEntry(std::string_view row) {
    auto entry = readableEntry(row);
    if (entry && (!entry->xNumber || !entry->yNumber))
        return Problem::NotANumber;
    return entry;
}

// A ship entry, as turning and swapping the team need.
Result<EntryView, Problem> shipEntry(std::string_view row) {
    auto entry = readableEntry(row);
    if (entry && entry->kind != EntryKind::Ship)
        return Problem::NotAShip;
    return entry;
}

// Runs an edit, turning a want of memory into its problem.
template <class Edit> EntryEdit guarded(Edit edit) {
    try {
        return edit();
    } catch (const std::bad_alloc&) {
        return Problem::NotEnoughMemory;
    }
}

EntryEdit placed(std::string_view row, const EntryView& entry, double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return Problem::BeyondRange;
    Rewrite rewrite(row);
    rewrite.Replace(entry.x, coordinateText(entry.x, x, entry.kind));
    rewrite.Replace(entry.y, coordinateText(entry.y, y, entry.kind));
    return rewrite.Row();
}

} // namespace

EntryEdit MoveEntry(std::string_view row, double dx, double dy) {
    return guarded([&]() -> EntryEdit {
        const auto entry = placedEntry(row);
        if (!entry)
            return entry.error();
        return placed(row, *entry, *entry->xNumber + dx, *entry->yNumber + dy);
    });
}

EntryEdit PlaceEntry(std::string_view row, double x, double y) {
    return guarded([&]() -> EntryEdit {
        const auto entry = readableEntry(row);
        if (!entry)
            return entry.error();
        return placed(row, *entry, x, y);
    });
}

EntryEdit TurnShip(std::string_view row, int degrees) {
    return guarded([&]() -> EntryEdit {
        const auto entry = shipEntry(row);
        if (!entry)
            return entry.error();
        if (!entry->rNumber)
            return Problem::NotANumber;
        Rewrite rewrite(row);
        rewrite.Replace(entry->r, headingText(entry->r, *entry->rNumber + degrees));
        return rewrite.Row();
    });
}

EntryEdit SwapShipTeam(std::string_view row) {
    return guarded([&]() -> EntryEdit {
        const auto entry = shipEntry(row);
        if (!entry)
            return entry.error();
        std::optional<std::string> team = swappedTeam(entry->team);
        if (!team)
            return Problem::NoTeamToSwap;
        Rewrite rewrite(row);
        rewrite.Replace(entry->team, std::move(*team));
        return rewrite.Row();
    });
}

MapPoint MirroredPoint(MirrorMode mode, MapPoint centre, MapPoint point) {
    const double x = 2 * centre.x - point.x;
    const double y = 2 * centre.y - point.y;
    switch (mode) {
    case MirrorMode::Point:
        return {x, y};
    case MirrorMode::LeftRight:
        return {x, point.y};
    case MirrorMode::TopBottom:
        return {point.x, y};
    }
    return point;
}

double MirroredHeading(MirrorMode mode, double heading) {
    double mirrored = heading;
    switch (mode) {
    case MirrorMode::Point:
        mirrored = heading + 180;
        break;
    case MirrorMode::LeftRight:
        mirrored = 360 - heading;
        break;
    case MirrorMode::TopBottom:
        mirrored = 180 - heading;
        break;
    }
    mirrored = std::fmod(mirrored, 360.0);
    return mirrored < 0 ? mirrored + 360.0 : mirrored;
}

bool OnMirror(MirrorMode mode, MapPoint centre, MapPoint point) {
    const bool onX = std::fabs(point.x - centre.x) < 0.5;
    const bool onY = std::fabs(point.y - centre.y) < 0.5;
    switch (mode) {
    case MirrorMode::Point:
        return onX && onY;
    case MirrorMode::LeftRight:
        return onX;
    case MirrorMode::TopBottom:
        return onY;
    }
    return false;
}

EntryEdit MirrorEntry(std::string_view row, MirrorMode mode, MapPoint centre) {
    return guarded([&]() -> EntryEdit {
        const auto entry = placedEntry(row);
        if (!entry)
            return entry.error();
        const MapPoint point{*entry->xNumber, *entry->yNumber};
        if (OnMirror(mode, centre, point))
            return Problem::LandsOnItself;

        const MapPoint mirrored = MirroredPoint(mode, centre, point);
        if (!std::isfinite(mirrored.x) || !std::isfinite(mirrored.y))
            return Problem::BeyondRange;
        Rewrite rewrite(row);
        if (mode != MirrorMode::TopBottom)
            rewrite.Replace(entry->x, coordinateText(entry->x, mirrored.x, entry->kind));
        if (mode != MirrorMode::LeftRight)
            rewrite.Replace(entry->y, coordinateText(entry->y, mirrored.y, entry->kind));
        if (entry->kind == EntryKind::Ship) {
            if (entry->rNumber)
                rewrite.Replace(entry->r,
                                headingText(entry->r, MirroredHeading(mode, *entry->rNumber)));
            if (std::optional<std::string> team = swappedTeam(entry->team))
                rewrite.Replace(entry->team, std::move(*team));
        }
        return rewrite.Row();
    });
}

void MapBounds::Add(MapPoint point) {
    if (empty) {
        minX = maxX = point.x;
        minY = maxY = point.y;
        empty = false;
        return;
    }
    minX = std::min(minX, point.x);
    maxX = std::max(maxX, point.x);
    minY = std::min(minY, point.y);
    maxY = std::max(maxY, point.y);
}

bool OnMap(MapPoint point) {
    return std::fabs(point.x) <= MapCoordinateLimit && std::fabs(point.y) <= MapCoordinateLimit;
}

std::optional<MapPoint> MapCentre(std::span<const MapPoint> points) {
    MapBounds bounds;
    for (const MapPoint point : points)
        if (OnMap(point))
            bounds.Add(point);
    if (bounds.empty)
        return std::nullopt;
    return bounds.Centre();
}

LevelCentres FindLevelCentres(const std::vector<std::string>& rows) {
    std::vector<MapPoint> all;
    std::vector<MapPoint> bases;
    for (const std::string& row : rows) {
        const std::optional<EntryView> entry = ViewEntryLine(row);
        if (!entry || entry->fault || !entry->xNumber || !entry->yNumber)
            continue;
        const MapPoint point{*entry->xNumber, *entry->yNumber};
        all.push_back(point);
        if (entry->kind == EntryKind::Base)
            bases.push_back(point);
    }
    return {MapCentre(all), MapCentre(bases)};
}

} // namespace level
