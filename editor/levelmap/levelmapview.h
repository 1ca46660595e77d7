#pragma once

#include "core/entryedit.h"

#include <QGraphicsView>

#include <optional>

class QRubberBand;

namespace editor {

class LevelMapScene;
class MapRuler;

// The level map's view: a light grid in game coordinates (x to the right, y downward) with
// rulers and the origin marked, over the markers, and the cross of the mirror's centre. The
// wheel zooms about the pointer, Home fits every marker into view, + and - zoom about the
// middle; the middle button, or the left one with Space held, pans. Hovering a marker shows its
// row.
//
// The view takes the user's gestures and keys and reports what they ask for; the map window
// does it. Clicks and the rubber band (a drag on empty map) select; dragging a selected marker
// shows the selection moved, by whole units (to the grid lines with snapping on), until the
// button is released (Escape puts it back). The centre cross can be dragged.
class LevelMapView : public QGraphicsView {
    Q_OBJECT
public:
    explicit LevelMapView(LevelMapScene* scene, QWidget* parent = nullptr);

    LevelMapScene* mapScene() const { return m_scene; }
    // Pixels per game unit.
    qreal zoom() const { return transform().m11(); }
    // Shows every marker with a margin (or the default area of an empty level).
    void fitAll();
    // Zooms by factor, within limits, keeping the scene point at anchor (viewport pixels) there.
    void zoomBy(qreal factor, QPointF anchor);
    // Scrolls a scene point into view unless it is there already.
    void bringIntoView(QPointF scenePoint);
    // The distance of the grid lines in game units: a round number at least 80 pixels apart.
    qreal gridStep() const;
    // The row of the marker under a viewport point, or -1.
    int markerUnder(QPoint viewportPoint) const;

    // Snapping to the grid lines shown (G toggles it).
    bool snaps() const { return m_snap; }
    void setSnap(bool snap);
    // A game point as a place for an entry: whole units, or the nearest grid crossing when
    // snapping.
    QPointF placeFor(QPointF scenePoint) const;

    // The mirror's centre and mode, drawn as a cross (and the mirror line).
    void setMirror(level::MirrorMode mode, QPointF centre);
    QPointF mirrorCentre() const { return m_centre; }
    enum class Clipboard { Cut, Copy, Paste, Duplicate };

    // Whether a gesture (a drag of markers, of the centre, a band, a pan) is under way.
    bool busy() const { return m_gesture != Gesture::None; }

signals:
    // A click on a marker: alone, it becomes the selection; with Ctrl it joins or leaves it.
    void markerClicked(int row, Qt::KeyboardModifiers modifiers);
    // A press on a marker that is not selected, which may begin a drag: it becomes the selection.
    void markerGrabbed(int row);
    // A click on empty map (without Ctrl).
    void emptyClicked();
    // A rubber band was drawn: its markers become the selection (with Ctrl: join it).
    void bandDrawn(const QRectF& area, Qt::KeyboardModifiers modifiers);
    // The selection was dragged by offset (whole units) and released.
    void dragFinished(QPointF offset);
    // A double-click on empty map, at a place for an entry (see placeFor).
    void placeAsked(QPointF place, Qt::KeyboardModifiers modifiers);
    // The user dragged the centre cross there.
    void centreDragged(QPointF centre);
    // Keys: arrows (by 1 unit, with Shift 10, with snapping to the next grid line), Q and E
    // (15 degrees counter-clockwise, clockwise), T, Delete, M, Escape, Ctrl+A. held: the key is
    // held down and repeats.
    void nudgeAsked(QPointF offset, bool held);
    void turnAsked(int degrees, bool held);
    void teamSwapAsked();
    void deleteAsked();
    void mirrorAsked();
    void escapePressed();
    void selectAllAsked();
    void snapChanged(bool snap);
    // Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+D; atPointer: the pointer is over the map, at a place for an
    // entry there (see placeFor).
    void clipboardAsked(LevelMapView::Clipboard what, bool atPointer, QPointF at);
    // A right click: the menu at a screen point, for the place clicked.
    void menuAsked(QPoint globalPos, QPointF at);

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Gesture {
        None,
        Press,  // the left button is down, not yet moved far enough to be a drag
        Pan,    // the map follows the pointer
        Band,   // a rubber band is drawn
        Drag,   // the selection follows the pointer
        Centre, // the centre cross follows the pointer
    };

    qreal fitZoom() const;
    void viewChanged();
    void drawCentre(QPainter* painter, const QTransform& toDevice, const QRectF& device);
    bool nearCentre(QPoint viewportPoint) const;
    // The offset by which a drag from the press point to the pointer moves the selection.
    QPointF dragOffset(QPoint viewportPoint) const;
    QPointF snapped(QPointF point) const;
    // The selection moved by one key: from the grabbed marker to the next grid line, or by step.
    QPointF nudge(QPointF direction, bool far) const;
    void cancelGesture();

    LevelMapScene* m_scene;
    MapRuler* m_top;
    MapRuler* m_left;
    QRubberBand* m_band;
    Gesture m_gesture = Gesture::None;
    QPoint m_pressPoint;
    QPoint m_lastPoint;
    int m_pressRow = -1; // the marker pressed on, or -1
    Qt::KeyboardModifiers m_pressModifiers;
    bool m_spaceHeld = false;
    std::optional<QPoint> m_pointer; // over the viewport, where it last moved
    bool m_snap = false;
    level::MirrorMode m_mode = level::MirrorMode::Point;
    QPointF m_centre;
    QPointF m_centreBefore; // while the cross is dragged
    // Still as fitted: no zoom or pan since; a resize then fits again.
    bool m_fitted = false;
};

} // namespace editor
