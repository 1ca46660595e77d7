#include "editor/sectionpanel.h"

#include "core/sectionblocks.h"
#include "widgets/geometry.h"
#include "widgets/messageboxes.h"
#include "editor/gamefiledialog.h"
#include "widgets/qtpath.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace editor {

namespace {

// Both panels share one layout (twips inside the frame); the names and focus order differ.
struct SectionLayout {
    widgets::ControlPlace marker, nameLine, name, browse, end;
};

constexpr SectionLayout shipFilesLayout{
    {"us1", 0, 0, 2655, 375, 18},     {"us2", 0, 480, 495, 255, 19},
    {"us4", 600, 480, 1455, 285, 20}, {"us5", 2160, 480, 495, 255, 21},
    {"us3", 0, 840, 2655, 375, 22},
};
constexpr SectionLayout winFileLayout{
    {"wf1", 0, 0, 2655, 375, 12},     {"wf2", 0, 480, 495, 255, 13},
    {"wf4", 600, 480, 1455, 285, 14}, {"wf5", 2160, 480, 495, 255, 15},
    {"wf3", 0, 840, 2655, 375, 52},
};
constexpr widgets::ControlPlace label1Place{"Label1", 120, 1320, 2415, 735, 23};

// Wrapped text that does not fit its box gets a smaller font, down to 6 points.
void shrinkToFit(QLabel* label) {
    QFont font = label->font();
    while (label->heightForWidth(label->width()) > label->height() && font.pointSizeF() > 6.0) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

SectionPanel::SectionPanel(Kind kind, const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_kind(kind)
    , m_startFolder(startFolder) {
    setObjectName(kind == Kind::ShipFiles ? QStringLiteral("useship") : QStringLiteral("winfile"));
    setFixedSize(widgets::twipsToPixels(2655), widgets::twipsToPixels(2055));
    createControls();
}

void SectionPanel::createControls() {
    const bool shipFiles = m_kind == Kind::ShipFiles;
    const SectionLayout& layout = shipFiles ? shipFilesLayout : winFileLayout;

    m_marker = widgets::placed<QPushButton>(this, layout.marker, fromView(marker()));
    m_nameLine = widgets::placed<QPushButton>(this, layout.nameLine, QStringLiteral("<-"));
    m_name = widgets::placed<QLineEdit>(this, layout.name);
    m_browse = widgets::placed<QPushButton>(this, layout.browse, QStringLiteral("..."));
    m_end = widgets::placed<QPushButton>(this, layout.end, fromView(level::EndMarker));
    // What a screen reader says for the field and the buttons without words.
    m_name->setAccessibleName(QStringLiteral("file"));
    m_nameLine->setAccessibleName(QStringLiteral("add file line"));
    m_browse->setAccessibleName(shipFiles ? QStringLiteral("choose ship file")
                                          : QStringLiteral("choose win file"));

    if (shipFiles) {
        Label1 = widgets::placed<QLabel>(
            this, label1Place,
            QStringLiteral("Diese shp-Files koennen von Basen benutzt werden, "
                           "um neue Raumschiffe zu erstellen."));
        Label1->setWordWrap(true);
        Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        shrinkToFit(Label1);
    }

    connect(m_marker, &QPushButton::clicked, this, &SectionPanel::markerClicked);
    connect(m_end, &QPushButton::clicked, this, &SectionPanel::endClicked);
    connect(m_nameLine, &QPushButton::clicked, this, &SectionPanel::nameLineClicked);
    connect(m_browse, &QPushButton::clicked, this, &SectionPanel::browseClicked);
}

// The marker buttons show exactly the lines they append; the lines come from the markers
// themselves, not from the captions, which a desktop theme may give a keyboard accelerator ("&").
std::string_view SectionPanel::marker() const {
    return m_kind == Kind::ShipFiles ? level::ShipFilesMarker : level::WinFileMarker;
}

void SectionPanel::markerClicked() {
    emit lineBuilt(fromView(marker()));
}

void SectionPanel::endClicked() {
    emit lineBuilt(fromView(level::EndMarker));
}

void SectionPanel::nameLineClicked() {
    if (const auto line = level::FileNameLine(widgets::toStdString(m_name->text())))
        emit lineBuilt(widgets::toQString(*line));
}

void SectionPanel::browseClicked() {
    const QString pattern =
        m_kind == Kind::ShipFiles ? QStringLiteral("*.shp") : QStringLiteral("*.win");
    if (const auto name = chooseGameFile(this, pattern, m_startFolder))
        m_name->setText(*name);
}

} // namespace editor
