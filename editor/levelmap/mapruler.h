#pragma once

#include <QTransform>
#include <QWidget>

namespace editor {

// A ruler along the top or the left edge of the level map: the game coordinate of every grid
// line of the map, x along the top, y down the left side.
class MapRuler : public QWidget {
    Q_OBJECT
public:
    MapRuler(Qt::Orientation orientation, QWidget* parent);

    // The ruler's thickness for its font.
    int thickness() const;
    // Where the map's viewport starts along the ruler, in the ruler's pixels.
    void setOffset(int offset);
    // The map's mapping from game coordinates to its viewport, and its grid step in game units.
    void setMapping(const QTransform& toViewport, qreal gridStep);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    int m_offset = 0;
    QTransform m_toViewport;
    qreal m_gridStep = 1;
};

} // namespace editor
