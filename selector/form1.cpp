#include "form1.h"

#include "geometry.h"
#include "keyboard.h"
#include "levelchoice.h"
#include "longtext.h"
#include "messageboxes.h"
#include "openfiledialog.h"
#include "qtpath.h"
#include "startfolder.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace selector {

namespace {

constexpr int clientWidth = 2055;
constexpr int clientHeight = 780;

constexpr ControlPlace label1Place{"Label1", 120, 120, 1335, 255, 1};
constexpr ControlPlace command3Place{"Command3", 1560, 100, 375, 280, 2};
constexpr ControlPlace command1Place{"Command1", 120, 480, 1815, 255, 0};

} // namespace

Form1::Form1(const std::string& startFolder, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Levelselector"));
    useLayoutFont(this);
    // Qt leaves tool windows out of the "last window closed" rule; this one is the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(twipsRect(0, 0, clientWidth, clientHeight).size());

    createControls();
    centreOnScreen();
    Command1->setFocus();
}

void Form1::createControls() {
    Label1 = placed<QLabel>(this, label1Place, QStringLiteral("level1.lev"));
    Label1->setTextFormat(Qt::PlainText); // a file name is never markup
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Command3 = placed<QPushButton>(this, command3Place, QStringLiteral("..."));
    Command3->setAccessibleName(QStringLiteral("choose level file"));
    Command1 = placed<QPushButton>(this, command1Place, QStringLiteral("save"));

    applyTabOrder(this);
    letEnterPressFocusedButtons(this);

    connect(Command3, &QPushButton::clicked, this, &Form1::command3Clicked);
    connect(Command1, &QPushButton::clicked, this, &Form1::command1Clicked);
}

void Form1::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The client area is centred: a window manager's frame is not known before the window shows.
    const QRect available = screen->availableGeometry();
    QRect client(QPoint(0, 0), size());
    client.moveTopLeft(available.topLeft() + QPoint((available.width() - width()) / 2,
                                                    (available.height() - height()) / 2));
    setGeometry(client);
}

void Form1::command3Clicked() {
    const std::string levels = LevelsFolder(m_startFolder);
    const QString folder =
        QFileInfo(toQString(levels)).isDir() ? toQString(levels) : toQString(m_startFolder);
    if (const auto chosen = chooseFileName(this, QStringLiteral("*.lev"), folder))
        showLevel(*chosen);
}

// A name wider than the label shows whole in its tool tip.
void Form1::showLevel(const QString& name) {
    Label1->setText(name);
    const int width = Label1->fontMetrics().horizontalAdvance(name);
    Label1->setToolTip(showsWhole(Label1, 0, width) ? QString() : wholeTextToolTip(name, Label1));
}

void Form1::command1Clicked() {
    if (const auto written = WriteLevelChoiceFile(m_startFolder, toStdString(Label1->text()));
        !written) {
        showFailure(this, written.error());
        return;
    }
    showMessage(this, QStringLiteral("uselev.lst"), toQString(LevelChoicePath(m_startFolder)));
    close();
}

} // namespace selector
