#include "editor/levelmap/levelmapscene.h"

#include "core/entryparse.h"
#include "core/levelcheck.h"
#include "editor/levelmap/markerlayer.h"
#include "widgets/qtpath.h"

#include <QGraphicsView>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace editor {

namespace {

// The area a view shows of a level without markers, and the least width and height it shows
// around markers, in game units; the margin around markers, as a share of the larger side.
const QRectF DefaultArea(0, 0, 1000, 750);
constexpr qreal MinFitSize = 400;
constexpr qreal FitMargin = 0.06;

// The ring around the highlighted row's marker, the same size at every zoom.
class HighlightRing : public QGraphicsItem {
public:
    static constexpr qreal Radius = 15;

    HighlightRing() {
        setFlag(ItemIgnoresTransformations);
        setAcceptedMouseButtons(Qt::NoButton);
        setZValue(1);
    }
    QRectF boundingRect() const override {
        return QRectF(-Radius - 3, -Radius - 3, 2 * Radius + 6, 2 * Radius + 6);
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::white, 5));
        painter->drawEllipse(QPointF(), Radius, Radius);
        painter->setPen(QPen(QColor(0xf0, 0x9a, 0x00), 2.5));
        painter->drawEllipse(QPointF(), Radius, Radius);
    }
};

} // namespace

std::optional<MapMarker> MapMarker::ofRow(std::string_view row) {
    const auto entry = level::ViewEntryLine(row);
    if (!entry || entry->fault || !entry->xNumber || !entry->yNumber)
        return std::nullopt;
    const double x = *entry->xNumber;
    const double y = *entry->yNumber;
    if (std::abs(x) > level::MapCoordinateLimit || std::abs(y) > level::MapCoordinateLimit)
        return std::nullopt;
    MapMarker marker;
    marker.position = QPointF(x, y);
    if (entry->kind == level::EntryKind::Base) {
        marker.shape = Shape::Square;
        marker.colour = markercolours::base;
        marker.label = widgets::toQString(std::string(entry->value));
        return marker;
    }
    if (entry->rNumber) {
        marker.shape = Shape::Triangle;
        marker.heading = *entry->rNumber;
    }
    marker.colour = entry->team == "1"   ? markercolours::teamOne
                    : entry->team == "2" ? markercolours::teamTwo
                                         : markercolours::otherTeam;
    return marker;
}

LevelMapScene::LevelMapScene(const LevelDocument& level, QObject* parent)
    : QGraphicsScene(parent)
    , m_level(level)
    , m_markers(level.selection()) {
    setItemIndexMethod(NoIndex); // two items, one of them as large as the scene
    m_layer = new MarkerLayer(m_markers);
    addItem(m_layer);
    m_highlight = new HighlightRing;
    m_highlight->hide();
    addItem(m_highlight);

    connect(&level, &LevelDocument::changed, this, &LevelMapScene::documentChanged);
    rebuild();
}

LevelMapScene::~LevelMapScene() = default;

const MapMarker* LevelMapScene::marker(int row) const {
    if (row < 0 || row >= static_cast<int>(m_markers.rows.size()))
        return nullptr;
    const auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
    return marker ? &*marker : nullptr;
}

std::optional<MapMarker> LevelMapScene::readRow(int row) const {
    return MapMarker::ofRow(m_level.lines().LineAt(static_cast<level::LevelLineList::Index>(row)));
}

void LevelMapScene::documentChanged(const DocumentChange& change) {
    switch (change.rows.kind) {
    case RowsChange::Kind::None:
        break;
    case RowsChange::Kind::Inserted:
        rowsInserted(change.rows.rows);
        break;
    case RowsChange::Kind::Removed:
        rowsRemoved(change.rows.rows);
        break;
    case RowsChange::Kind::Rewritten:
        rowsChanged(change.rows.rows);
        break;
    case RowsChange::Kind::Reset:
        rebuild();
        break;
    }
    if (change.selection || change.rows.kind != RowsChange::Kind::None)
        countSelected();
    if (change.selection) {
        m_layer->update();
        placeHighlight();
    }
}

// Appended rows repaint only where their markers are; any other change repaints the map. One
// pass from the back moves every marker once.
void LevelMapScene::rowsInserted(const std::vector<LevelDocument::Index>& at) {
    if (at.empty())
        return;
    auto& markers = m_markers.rows;
    const bool appended = at.front() == static_cast<int>(markers.size());
    std::size_t old = markers.size();
    std::size_t left = at.size();
    markers.resize(old + at.size());
    for (std::size_t row = markers.size(); row-- > 0 && left > 0;) {
        if (static_cast<std::size_t>(at[left - 1]) == row) {
            --left;
            markers[row] = readRow(static_cast<int>(row));
            if (markers[row]) {
                ++m_markers.count;
                include(*markers[row]);
            }
        } else {
            markers[row] = std::move(markers[--old]);
        }
    }
    // One appended ship repaints only around itself; bases move labels.
    const auto& one = markers[static_cast<std::size_t>(at.front())];
    if (appended && at.size() == 1 && one && one->shape != MapMarker::Shape::Square)
        changed(one->position);
    else
        changed();
}

void LevelMapScene::rowsRemoved(const std::vector<LevelDocument::Index>& at) {
    if (at.empty())
        return;
    auto& markers = m_markers.rows;
    std::size_t next = 0;
    std::size_t kept = static_cast<std::size_t>(at.front());
    for (std::size_t row = kept; row < markers.size(); ++row) {
        if (next < at.size() && static_cast<std::size_t>(at[next]) == row)
            ++next;
        else
            markers[kept++] = std::move(markers[row]);
    }
    markers.resize(kept);
    recomputeBounds();
    changed();
}

void LevelMapScene::rowsChanged(const std::vector<LevelDocument::Index>& rows) {
    for (const auto row : rows)
        m_markers.rows[static_cast<std::size_t>(row)] = readRow(row);
    recomputeBounds();
    changed();
}

void LevelMapScene::rebuild() {
    const int rows = m_level.lines().LineCount();
    m_markers.rows.clear();
    m_markers.rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        m_markers.rows.push_back(readRow(row));
    m_markers.dragOffset = QPointF();
    recomputeBounds();
    updateSceneRect(true);
    changed();
}

void LevelMapScene::recomputeBounds() {
    m_markers.count = 0;
    m_bounds = QRectF();
    for (const auto& marker : m_markers.rows) {
        if (marker) {
            ++m_markers.count;
            include(*marker);
        }
    }
}

// Bounds of points: QRectF::united would drop the empty rectangle of a single point.
void LevelMapScene::include(const MapMarker& marker) {
    const QPointF p = marker.position;
    if (m_markers.count == 1) {
        m_bounds = QRectF(p, p);
        return;
    }
    m_bounds.setCoords(std::min(m_bounds.left(), p.x()), std::min(m_bounds.top(), p.y()),
                       std::max(m_bounds.right(), p.x()), std::max(m_bounds.bottom(), p.y()));
}

QRectF LevelMapScene::fitArea() const {
    if (m_markers.count == 0)
        return DefaultArea;
    QRectF area = m_bounds;
    const qreal growX = std::max(MinFitSize - area.width(), 0.0) / 2;
    const qreal growY = std::max(MinFitSize - area.height(), 0.0) / 2;
    area.adjust(-growX, -growY, growX, growY);
    const qreal margin = std::max(area.width(), area.height()) * FitMargin;
    return area.adjusted(-margin, -margin, margin, margin);
}

void LevelMapScene::updateSceneRect(bool reset) {
    const QRectF fit = fitArea();
    const qreal extra = std::max(fit.width(), fit.height()) * 2;
    const QRectF wanted = fit.adjusted(-extra, -extra, extra, extra);
    QRectF rect = sceneRect();
    if (reset)
        rect = wanted;
    else if (!rect.contains(fit))
        rect = rect.united(wanted);
    setSceneRect(rect);
    m_layer->setArea(rect);
}

void LevelMapScene::changed(std::optional<QPointF> only) {
    ++m_markers.version;
    updateSceneRect(false);
    qreal zoom = std::numeric_limits<qreal>::max();
    for (const QGraphicsView* view : views())
        zoom = std::min(zoom, view->transform().m11());
    if (only && zoom > 0 && zoom < std::numeric_limits<qreal>::max()) {
        const qreal reach = (MarkerLayer::Reach + 2) / zoom;
        m_layer->update(QRectF(*only, *only).adjusted(-reach, -reach, reach, reach));
    } else {
        m_layer->update();
    }
    placeHighlight();
    emit markersChanged();
}

int LevelMapScene::markerAt(QPointF scenePoint, qreal distance) const {
    const qreal limit = distance * distance;
    for (int row = static_cast<int>(m_markers.rows.size()); row-- > 0;) {
        const auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
        if (!marker)
            continue;
        const QPointF d = marker->position - scenePoint;
        if (d.x() * d.x() + d.y() * d.y() <= limit)
            return row;
    }
    return -1;
}

QString LevelMapScene::rowDescription(int row) const {
    if (row < 0 || row >= m_level.lines().LineCount())
        return {};
    return QStringLiteral("Row %1: %2")
        .arg(row + 1)
        .arg(widgets::toQString(
            m_level.lines().LineAt(static_cast<level::LevelLineList::Index>(row))));
}

int LevelMapScene::highlightedRow() const {
    return m_level.currentRow();
}

void LevelMapScene::placeHighlight() {
    const int row = highlightedRow();
    const MapMarker* shown = marker(row);
    if (shown)
        m_highlight->setPos(m_markers.shownAt(row, *shown));
    m_highlight->setVisible(shown != nullptr);
}

std::vector<int> LevelMapScene::selectedRows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_markers.selected));
    for (const auto row : m_level.selection().rows())
        if (marker(row))
            rows.push_back(row);
    return rows;
}

bool LevelMapScene::isSelected(int row) const {
    return marker(row) && m_markers.isSelected(row);
}

void LevelMapScene::countSelected() {
    int selected = 0;
    for (const auto row : m_level.selection().rows())
        if (marker(row))
            ++selected;
    m_markers.selected = selected;
}

std::vector<int> LevelMapScene::rowsIn(const QRectF& area) const {
    std::vector<int> rows;
    const QRectF box = area.normalized();
    for (int row = 0; row < static_cast<int>(m_markers.rows.size()); ++row) {
        const auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
        const QPointF p = marker ? marker->position : QPointF();
        if (marker && p.x() >= box.left() && p.x() <= box.right() && p.y() >= box.top() &&
            p.y() <= box.bottom())
            rows.push_back(row);
    }
    return rows;
}

// Only the layer repaints: the rows and the bounds stay.
void LevelMapScene::setDragOffset(QPointF offset) {
    if (offset == m_markers.dragOffset)
        return;
    m_markers.dragOffset = offset;
    ++m_markers.version; // labels move along
    m_layer->update();
    placeHighlight();
}

} // namespace editor
