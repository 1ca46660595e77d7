#include "editor/basepanel.h"

#include "core/entrylines.h"
#include "widgets/geometry.h"
#include "widgets/messageboxes.h"
#include "editor/gamefiledialog.h"
#include "widgets/qtpath.h"

#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <string>

namespace editor {

namespace {

// Places in twips inside the frame, and the window's focus order.
constexpr widgets::ControlPlace bs1Place{"bs1", 0, 0, 2655, 375, 25};
constexpr widgets::ControlPlace bs3Place{"bs3", 240, 480, 255, 285, 27};
constexpr widgets::ControlPlace bs4Place{"bs4", 480, 480, 615, 285, 26};
constexpr widgets::ControlPlace bs5Place{"bs5", 1560, 480, 255, 285, 29};
constexpr widgets::ControlPlace bs6Place{"bs6", 1800, 480, 615, 285, 28};
constexpr widgets::ControlPlace bs7Place{"bs7", 240, 840, 1575, 285, 30};
constexpr widgets::ControlPlace bs8Place{"bs8", 1920, 840, 495, 255, 31};

// The head of every base entry line, shown as the caption of "ADD BASE"; its trailing blank makes
// the two blanks before "x=". The line takes it from here, not from the caption, which a desktop
// theme may give a keyboard accelerator ("&").
const char* const baseHead = "ADD BASE ";

} // namespace

BasePanel::BasePanel(const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("base"));
    setFixedSize(widgets::twipsToPixels(2655), widgets::twipsToPixels(2055));
    createControls();
}

void BasePanel::createControls() {
    bs1 = widgets::placed<QPushButton>(this, bs1Place, QString::fromLatin1(baseHead));
    bs3 = widgets::placed<QLineEdit>(this, bs3Place, QStringLiteral("X"));
    bs4 = widgets::placed<QLineEdit>(this, bs4Place, QStringLiteral("0"));
    bs5 = widgets::placed<QLineEdit>(this, bs5Place, QStringLiteral("Y"));
    bs6 = widgets::placed<QLineEdit>(this, bs6Place, QStringLiteral("0"));
    bs7 = widgets::placed<QLineEdit>(this, bs7Place);
    bs8 = widgets::placed<QPushButton>(this, bs8Place, QStringLiteral("..."));
    bs3->setReadOnly(true);
    bs5->setReadOnly(true);
    // What a screen reader calls each box: the caption beside it.
    bs3->setAccessibleName(QStringLiteral("X"));
    bs4->setAccessibleName(QStringLiteral("X"));
    bs5->setAccessibleName(QStringLiteral("Y"));
    bs6->setAccessibleName(QStringLiteral("Y"));
    bs7->setAccessibleName(QStringLiteral("file"));
    bs8->setAccessibleName(QStringLiteral("choose base file"));

    connect(bs1, &QPushButton::clicked, this, &BasePanel::bs1Clicked);
    connect(bs8, &QPushButton::clicked, this, &BasePanel::bs8Clicked);
}

void BasePanel::bs1Clicked() {
    if (const std::optional<QString> line = buildLine(std::nullopt, this))
        emit lineBuilt(*line);
}

std::optional<QString> BasePanel::lineAt(QPointF place, QWidget* messageParent) {
    return buildLine(place, messageParent);
}

std::optional<QString> BasePanel::buildLine(std::optional<QPointF> place, QWidget* messageParent) {
    level::BaseEntryInput input;
    input.head = baseHead;
    // A base's place in digits only, as a typed one: "100", "-20".
    const auto whole = [](qreal value) { return std::to_string(std::llround(value)); };
    input.x = place ? whole(place->x()) : widgets::toStdString(bs4->text());
    input.y = place ? whole(place->y()) : widgets::toStdString(bs6->text());
    input.file = widgets::toStdString(bs7->text());
    const auto built = level::BuildBaseLine(input);
    if (!built) {
        widgets::showFailure(messageParent,
                             QStringLiteral("There is not enough memory. The line was not added."));
        return std::nullopt;
    }
    if (const std::optional<std::string>& line = *built)
        return widgets::toQString(*line);
    return std::nullopt;
}

void BasePanel::bs8Clicked() {
    if (const auto name = chooseGameFile(this, QStringLiteral("*.bs"), m_startFolder))
        bs7->setText(*name);
}

} // namespace editor
