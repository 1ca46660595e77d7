#include "shippanel.h"

#include "geometry.h"

ShipPanel::ShipPanel(RandomSource& random, const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_random(random)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("ship"));
    setFixedSize(twipsToPixels(2655), twipsToPixels(2100));
}
