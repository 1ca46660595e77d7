#pragma once

#include <QWidget>

namespace editor {

class LevelMapView;

// A ruler along the top or the left edge of the level map: the game coordinate of every grid
// line of the map, x along the top, y down the left side.
class MapRuler : public QWidget {
    Q_OBJECT
public:
    MapRuler(Qt::Orientation orientation, LevelMapView* view);

    // The ruler's thickness for its font.
    int thickness() const;
    // Where the map's viewport starts along the ruler, in the ruler's pixels.
    void setOffset(int offset);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    LevelMapView* m_view;
    int m_offset = 0;
};

} // namespace editor
