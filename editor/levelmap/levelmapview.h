#pragma once

#include <QGraphicsView>

namespace editor {

class LevelMapScene;
class MapRuler;

// The level map's view: a light grid in game coordinates (x to the right, y downward) with
// rulers and the origin marked, over the markers. The wheel zooms about the pointer, dragging
// pans, Home fits every marker into view, + and - zoom about the middle. Hovering a marker
// shows its row; clicking one reports its row.
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

signals:
    void markerClicked(int row);

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    qreal fitZoom() const;
    void viewChanged();

    LevelMapScene* m_scene;
    MapRuler* m_top;
    MapRuler* m_left;
    QPoint m_pressPoint;
    bool m_pressed = false;
    // Still as fitted: no zoom or pan since; a resize then fits again.
    bool m_fitted = false;
};

} // namespace editor
