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

LevelMapScene::LevelMapScene(const LevelListModel& level, QObject* parent)
    : QGraphicsScene(parent)
    , m_level(level) {
    setItemIndexMethod(NoIndex); // two items, one of them as large as the scene
    m_layer = new MarkerLayer(m_markers);
    addItem(m_layer);
    m_highlight = new HighlightRing;
    m_highlight->hide();
    addItem(m_highlight);

    connect(&level, &QAbstractItemModel::rowsInserted, this, &LevelMapScene::rowsInserted);
    connect(&level, &QAbstractItemModel::rowsRemoved, this, &LevelMapScene::rowsRemoved);
    connect(&level, &QAbstractItemModel::dataChanged, this, &LevelMapScene::rowsChanged);
    connect(&level, &QAbstractItemModel::modelReset, this, &LevelMapScene::rebuild);
    connect(&level, &QAbstractItemModel::layoutChanged, this, &LevelMapScene::rebuild);
    connect(&level, &QAbstractItemModel::rowsMoved, this, &LevelMapScene::rebuild);
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

// Appended rows repaint only where their markers are; any other change repaints the map.
void LevelMapScene::rowsInserted(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    const bool appended = first == static_cast<int>(m_markers.rows.size());
    std::vector<std::optional<MapMarker>> added;
    added.reserve(static_cast<std::size_t>(last - first + 1));
    for (int row = first; row <= last; ++row)
        added.push_back(readRow(row));
    m_markers.rows.insert(m_markers.rows.begin() + first, added.begin(), added.end());

    for (const auto& marker : added) {
        if (marker) {
            ++m_markers.count;
            include(*marker);
        }
    }
    // One appended ship repaints only around itself; bases move labels.
    const auto& one = added.front();
    if (appended && added.size() == 1 && one && one->shape != MapMarker::Shape::Square)
        changed(one->position);
    else
        changed();
}

void LevelMapScene::rowsRemoved(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    const auto begin = m_markers.rows.begin() + first;
    const auto end = m_markers.rows.begin() + last + 1;
    const bool selectionLeft =
        std::any_of(begin, end, [](const auto& marker) { return marker && marker->selected; });
    m_markers.rows.erase(begin, end);
    recomputeBounds();
    changed();
    if (selectionLeft) {
        countSelected();
        emit selectionChanged();
    }
}

void LevelMapScene::rowsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    bool selectionLeft = false;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
        const bool selected = marker && marker->selected;
        marker = readRow(row);
        if (marker)
            marker->selected = selected;
        selectionLeft = selectionLeft || (selected && !marker);
    }
    recomputeBounds();
    changed();
    if (selectionLeft) {
        countSelected();
        emit selectionChanged();
    }
}

void LevelMapScene::rebuild() {
    const int rows = m_level.rowCount();
    const bool hadSelection = m_markers.selected > 0;
    m_markers.rows.clear();
    m_markers.rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        m_markers.rows.push_back(readRow(row));
    m_markers.selected = 0;
    m_markers.dragOffset = QPointF();
    recomputeBounds();
    updateSceneRect(true);
    changed();
    if (hadSelection)
        emit selectionChanged();
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
    if (row < 0 || row >= m_level.rowCount())
        return {};
    return QStringLiteral("Row %1: %2")
        .arg(row + 1)
        .arg(widgets::toQString(
            m_level.lines().LineAt(static_cast<level::LevelLineList::Index>(row))));
}

void LevelMapScene::setHighlightedRow(int row) {
    m_highlightedRow = row;
    placeHighlight();
}

void LevelMapScene::placeHighlight() {
    const MapMarker* shown = marker(m_highlightedRow);
    if (shown)
        m_highlight->setPos(m_markers.shownAt(*shown));
    m_highlight->setVisible(shown != nullptr);
}

std::vector<int> LevelMapScene::selectedRows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_markers.selected));
    for (int row = 0; row < static_cast<int>(m_markers.rows.size()); ++row)
        if (const auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
            marker && marker->selected)
            rows.push_back(row);
    return rows;
}

bool LevelMapScene::isSelected(int row) const {
    const MapMarker* shown = marker(row);
    return shown && shown->selected;
}

void LevelMapScene::setSelectedRows(const std::vector<int>& rows) {
    for (auto& marker : m_markers.rows)
        if (marker)
            marker->selected = false;
    for (const int row : rows)
        if (row >= 0 && row < static_cast<int>(m_markers.rows.size()))
            if (auto& marker = m_markers.rows[static_cast<std::size_t>(row)])
                marker->selected = true;
    countSelected();
    m_layer->update();
    emit selectionChanged();
}

void LevelMapScene::setSelected(int row, bool selected) {
    if (row < 0 || row >= static_cast<int>(m_markers.rows.size()))
        return;
    auto& marker = m_markers.rows[static_cast<std::size_t>(row)];
    if (!marker || marker->selected == selected)
        return;
    marker->selected = selected;
    m_markers.selected += selected ? 1 : -1;
    m_layer->update();
    emit selectionChanged();
}

void LevelMapScene::countSelected() {
    m_markers.selected = static_cast<int>(
        std::count_if(m_markers.rows.begin(), m_markers.rows.end(),
                      [](const auto& marker) { return marker && marker->selected; }));
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
