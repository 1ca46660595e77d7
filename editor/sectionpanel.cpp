#include "sectionpanel.h"

#include "geometry.h"

SectionPanel::SectionPanel(Kind kind, const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_kind(kind)
    , m_startFolder(startFolder) {
    setObjectName(kind == Kind::ShipFiles ? QStringLiteral("useship") : QStringLiteral("winfile"));
    setFixedSize(twipsToPixels(2655), twipsToPixels(2055));
}
