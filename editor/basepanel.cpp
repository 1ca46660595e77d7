#include "basepanel.h"

#include "geometry.h"

BasePanel::BasePanel(const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("base"));
    setFixedSize(twipsToPixels(2655), twipsToPixels(2055));
}
