#include "editor/shippanel.h"

#include "core/entrylines.h"
#include "editor/compasslabel.h"
#include "widgets/geometry.h"
#include "widgets/messageboxes.h"
#include "editor/gamefiledialog.h"
#include "widgets/qtpath.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <cmath>
#include <cstdint>

namespace editor {

namespace {

// Places in twips inside the frame, and the window's focus order.
constexpr widgets::ControlPlace s1Place{"s1", 0, 0, 2655, 375, 33};
constexpr widgets::ControlPlace s2Place{"s2", 0, 480, 255, 285, 37};
constexpr widgets::ControlPlace s3Place{"s3", 240, 480, 615, 285, 38};
constexpr widgets::ControlPlace srnd1Place{"srnd1", 840, 480, 375, 285, 59};
constexpr widgets::ControlPlace s4Place{"s4", 1440, 480, 255, 285, 35};
constexpr widgets::ControlPlace s5Place{"s5", 1680, 480, 615, 285, 36};
constexpr widgets::ControlPlace srnd2Place{"srnd2", 2280, 480, 375, 285, 60};
constexpr widgets::ControlPlace label3Place{"Label3", 840, 680, 975, 500, 61};
constexpr widgets::ControlPlace s6Place{"s6", 0, 840, 255, 285, 39};
constexpr widgets::ControlPlace s7Place{"s7", 240, 840, 615, 285, 40};
constexpr widgets::ControlPlace s8Place{"s8", 1800, 840, 495, 285, 41};
constexpr widgets::ControlPlace s9Place{"s9", 2280, 840, 200, 285, 42};
constexpr widgets::ControlPlace s10Place{"s10", 2475, 850, 200, 255, 43};
constexpr widgets::ControlPlace so1Place{"so1", 120, 1200, 615, 255, 44};
constexpr widgets::ControlPlace s11Place{"s11", 720, 1200, 1335, 255, 47};
constexpr widgets::ControlPlace s12Place{"s12", 2160, 1200, 255, 255, 34};
constexpr widgets::ControlPlace so2Place{"so2", 120, 1500, 1455, 255, 45};
constexpr widgets::ControlPlace so4Place{"so4", 1740, 1480, 315, 285, 49};
constexpr widgets::ControlPlace so5Place{"so5", 2160, 1490, 255, 255, 48};
constexpr widgets::ControlPlace so3Place{"so3", 120, 1800, 975, 255, 46};
constexpr widgets::ControlPlace so6Place{"so6", 1260, 1800, 795, 285, 51};
constexpr widgets::ControlPlace so7Place{"so7", 2160, 1800, 225, 255, 50};

// 9 blanks, "0", 13 blanks, "90", 2 blanks, "X", 2 blanks, "270", 9 blanks, "180".
const char* const compassCaption = "         0             90  X  270         180";

// The head of every ship entry line, shown as the caption of "ADD SHIP". The line takes it from
// here, not from the caption, which a desktop theme may give a keyboard accelerator ("&").
const char* const shipHead = "ADD SHIP";

// name: what a screen reader calls the box, the caption beside it.
QLineEdit* textBox(QWidget* parent, const widgets::ControlPlace& place, const QString& text,
                   const QString& name, bool readOnly = false, const QString& toolTip = {}) {
    auto* box = widgets::placed<QLineEdit>(parent, place, text);
    box->setReadOnly(readOnly);
    box->setAccessibleName(name);
    if (!toolTip.isEmpty())
        box->setToolTip(toolTip);
    return box;
}

// A scroll bar that takes the keyboard focus in its place of the focus order, and shows that it
// has it; the arrow, page, Home and End keys move it.
class FocusScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent* event) override {
        QScrollBar::paintEvent(event);
        if (!hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
};

// A vertical scroll bar with its range: the upper arrow (and the Up key) lowers the value, the
// lower arrow raises it (the thumb stands at the top for the smallest value). A dragged thumb
// reports its value only when it is let go.
QScrollBar* scrollBar(QWidget* parent, const widgets::ControlPlace& place, int minimum, int maximum,
                      const QString& name) {
    auto* bar = widgets::placed<FocusScrollBar>(parent, place, Qt::Vertical);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(minimum);
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setAccessibleName(name);
    return bar;
}

} // namespace

ShipPanel::ShipPanel(level::RandomSource& random, const QString& startFolder, QWidget* parent)
    : QFrame(parent)
    , m_random(random)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("ship"));
    setFixedSize(widgets::twipsToPixels(2655), widgets::twipsToPixels(2100));
    createControls();
}

void ShipPanel::createControls() {
    // The compass comes first, so it lies behind the boxes it reaches under.
    Label3 = widgets::placed<CompassLabel>(this, label3Place, QString::fromLatin1(compassCaption));
    // Where the compass's own font is not installed, the panel's font stands in: no other font
    // is looked for.
    QFont compassFont = Label3->font();
    compassFont.setFamilies(QStringList{QStringLiteral("CopprplGoth Bd BT"),
                                        QStringLiteral("Copperplate Gothic Bold"),
                                        QStringLiteral("Copperplate")} +
                            compassFont.families());
    compassFont.setPointSizeF(8.25);
    compassFont.setWeight(QFont::Normal);
    Label3->setFont(compassFont);
    Label3->setAttribute(Qt::WA_TransparentForMouseEvents);

    const QString fixed = QStringLiteral("fest");
    const QString random = QStringLiteral("zufall");
    const QString degrees = QStringLiteral("in Grad: 0 - 360");

    s1 = widgets::placed<QPushButton>(this, s1Place, QString::fromLatin1(shipHead));
    s2 = textBox(this, s2Place, QStringLiteral("X"), QStringLiteral("X"), true);
    s3 = textBox(this, s3Place, QStringLiteral("0"), QStringLiteral("X"), false, fixed);
    srnd1 = textBox(this, srnd1Place, QStringLiteral("0"), QStringLiteral("random range of X"),
                    false, random);
    s4 = textBox(this, s4Place, QStringLiteral("Y"), QStringLiteral("Y"), true);
    s5 = textBox(this, s5Place, QStringLiteral("0"), QStringLiteral("Y"), false, fixed);
    srnd2 = textBox(this, srnd2Place, QStringLiteral("0"), QStringLiteral("random range of Y"),
                    false, random);
    s6 = textBox(this, s6Place, QStringLiteral("R"), QStringLiteral("R"), true, degrees);
    s7 = textBox(this, s7Place, QStringLiteral("0"), QStringLiteral("R"), false, degrees);
    s8 = textBox(this, s8Place, QStringLiteral("team"), QStringLiteral("team"), true);
    s9 = textBox(this, s9Place, QStringLiteral("1"), QStringLiteral("team"), true);
    s10 = scrollBar(this, s10Place, 1, 2, QStringLiteral("team"));

    so1 = widgets::placed<QRadioButton>(this, so1Place, QStringLiteral("file"));
    s11 = widgets::placed<QLabel>(this, s11Place);
    s11->setTextFormat(Qt::PlainText); // a file name, never markup
    s12 = widgets::placed<QPushButton>(this, s12Place, QStringLiteral("..."));
    s12->setAccessibleName(QStringLiteral("choose ship file"));
    so2 = widgets::placed<QRadioButton>(this, so2Place, QStringLiteral("type (n. shpfile)"));
    so2->setChecked(true);
    so4 = textBox(this, so4Place, QStringLiteral("1"), QStringLiteral("type"));
    so5 = scrollBar(this, so5Place, 1, 99, QStringLiteral("type"));
    so3 = widgets::placed<QRadioButton>(this, so3Place, QStringLiteral("ship level"));
    so6 = textBox(this, so6Place, widgets::toQString(level::ShipLevelName(1)),
                  QStringLiteral("ship level"), true);
    so7 = scrollBar(this, so7Place, 1, 6, QStringLiteral("ship level"));

    connect(s1, &QPushButton::clicked, this, &ShipPanel::s1Clicked);
    connect(s12, &QPushButton::clicked, this, &ShipPanel::s12Clicked);
    connect(s10, &QScrollBar::valueChanged, this, &ShipPanel::s10Changed);
    connect(so5, &QScrollBar::valueChanged, this, &ShipPanel::so5Changed);
    connect(so4, &QLineEdit::textChanged, this, &ShipPanel::so4Changed);
    connect(so7, &QScrollBar::valueChanged, this, &ShipPanel::so7Changed);
}

void ShipPanel::s1Clicked() {
    if (const std::optional<QString> line = buildLine(std::nullopt, this))
        emit lineBuilt(*line);
}

std::optional<QString> ShipPanel::lineAt(QPointF place, QWidget* messageParent) {
    return buildLine(place, messageParent);
}

// The panel's values, with x and y at a place when one is given (the random ranges still
// apply); failures are shown over messageParent.
std::optional<QString> ShipPanel::buildLine(std::optional<QPointF> place, QWidget* messageParent) {
    level::ShipEntryInput input;
    input.head = shipHead;
    input.x = place ? level::NumberText(place->x()) : widgets::toStdString(s3->text());
    input.xRange = widgets::toStdString(srnd1->text());
    input.y = place ? level::NumberText(place->y()) : widgets::toStdString(s5->text());
    input.yRange = widgets::toStdString(srnd2->text());
    input.r = widgets::toStdString(s7->text());
    input.team = widgets::toStdString(s9->text());
    input.option = so1->isChecked()   ? level::ShipOption::File
                   : so3->isChecked() ? level::ShipOption::Level
                                      : level::ShipOption::Type;
    input.fileName = widgets::toStdString(s11->text());
    input.type = widgets::toStdString(so4->text());
    input.shipLevel = static_cast<std::int16_t>(so7->value());

    const std::string separator = widgets::toStdString(QLocale().decimalPoint());
    const auto built = level::BuildShipLine(input, m_random, separator);
    if (!built) {
        reportConversionFailure(built.error(), messageParent);
        return std::nullopt;
    }
    if (const std::optional<std::string>& line = *built)
        return widgets::toQString(*line);
    return std::nullopt;
}

// Names the field by the caption beside it, as the user sees it.
void ShipPanel::reportConversionFailure(const level::ConversionFailure& failure,
                                        QWidget* messageParent) {
    const bool isX =
        failure.field == level::ShipField::X || failure.field == level::ShipField::XRange;
    const QString caption = (isX ? s2 : s4)->text();
    const bool isRange =
        failure.field == level::ShipField::XRange || failure.field == level::ShipField::YRange;
    const QString field = isRange ? QStringLiteral("the random range of %1").arg(caption) : caption;
    QString message;
    switch (failure.problem) {
    case level::ConversionFailure::Problem::NotANumber:
        message = QStringLiteral("\"%1\" in %2 is not a number.");
        break;
    case level::ConversionFailure::Problem::BeyondRange:
        message = QStringLiteral("\"%1\" in %2 is beyond the range of numbers.");
        break;
    case level::ConversionFailure::Problem::PositionBeyondRange:
        message = QStringLiteral("\"%1\" in %2 gives a position beyond the range of numbers.");
        break;
    case level::ConversionFailure::Problem::NotEnoughMemory:
        widgets::showFailure(messageParent,
                             QStringLiteral("There is not enough memory. The line was not added."));
        return;
    }
    widgets::showFailure(messageParent, message.arg(widgets::toQString(failure.text), field));
}

void ShipPanel::s12Clicked() {
    if (const auto name = chooseGameFile(this, QStringLiteral("*.shp"), m_startFolder))
        s11->setText(*name);
}

void ShipPanel::s10Changed(int value) {
    s9->setText(QString::number(value));
}

void ShipPanel::so5Changed(int value) {
    so4->setText(QString::number(value));
}

void ShipPanel::so4Changed(const QString& text) {
    const auto number = level::ReadNumber(widgets::toStdString(text),
                                          widgets::toStdString(QLocale().decimalPoint()));
    if (!number)
        return;
    // Nearest whole number, a half going to the even neighbour (the default rounding mode).
    const double whole = std::nearbyint(*number);
    if (whole < 1.0 || whole > 99.0)
        return;
    so5->setValue(static_cast<int>(whole));
}

void ShipPanel::so7Changed(int value) {
    so6->setText(widgets::toQString(level::ShipLevelName(value)));
}

} // namespace editor
