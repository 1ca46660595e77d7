#include "selector/form1.h"

#include "core/levelchoice.h"
#include "core/startfolder.h"
#include "widgets/geometry.h"
#include "widgets/keyboard.h"
#include "widgets/longtext.h"
#include "widgets/messageboxes.h"
#include "widgets/openfiledialog.h"
#include "widgets/qtpath.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace selector {

namespace {

constexpr int clientWidth = 2055;
constexpr int clientHeight = 780;

constexpr widgets::ControlPlace label1Place{"Label1", 120, 120, 1335, 255, 1};
constexpr widgets::ControlPlace command3Place{"Command3", 1560, 100, 375, 280, 2};
constexpr widgets::ControlPlace command1Place{"Command1", 120, 480, 1815, 255, 0};

} // namespace

Form1::Form1(const std::string& startFolder, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Levelselector"));
    widgets::useLayoutFont(this);
    // Qt leaves tool windows out of the "last window closed" rule; this one is the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(widgets::twipsRect(0, 0, clientWidth, clientHeight).size());

    createControls();
    centreOnScreen();
    Command1->setFocus();
}

void Form1::createControls() {
    Label1 = widgets::placed<QLabel>(this, label1Place, QStringLiteral("level1.lev"));
    Label1->setTextFormat(Qt::PlainText); // a file name is never markup
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Command3 = widgets::placed<QPushButton>(this, command3Place, QStringLiteral("..."));
    Command3->setAccessibleName(QStringLiteral("choose level file"));
    Command1 = widgets::placed<QPushButton>(this, command1Place, QStringLiteral("save"));

    widgets::applyTabOrder(this);
    widgets::letEnterPressFocusedButtons(this);

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

// The game reads the name in uselev.lst in its levels folder: a file chosen anywhere else is
// refused, and the label keeps what it showed.
void Form1::command3Clicked() {
    const QString levels = widgets::toQString(level::LevelsFolder(m_startFolder));
    const QString folder = QFileInfo(levels).isDir() ? levels : widgets::toQString(m_startFolder);
    const auto chosen = widgets::chooseFilePath(this, QStringLiteral("*.lev"), folder);
    if (!chosen)
        return;
    const QFileInfo file(*chosen);
    // Compared as the system sees folders: through links, and in the letter case it ignores.
    if (QFileInfo(file.absolutePath()) != QFileInfo(levels)) {
        widgets::showFailure(this, QStringLiteral("%1 is not in %2: the game plays only levels "
                                                  "from there")
                                       .arg(file.fileName(), QDir::toNativeSeparators(levels)));
        return;
    }
    showLevel(file.fileName());
}

// A name wider than the label shows whole in its tool tip.
void Form1::showLevel(const QString& name) {
    Label1->setText(name);
    const int width = Label1->fontMetrics().horizontalAdvance(name);
    Label1->setToolTip(widgets::showsWhole(Label1, 0, width)
                           ? QString()
                           : widgets::wholeTextToolTip(name, Label1));
}

void Form1::command1Clicked() {
    if (const auto written =
            level::WriteLevelChoiceFile(m_startFolder, widgets::toStdString(Label1->text()));
        !written) {
        widgets::showFailure(this, written.error());
        return;
    }
    widgets::showMessage(this, QStringLiteral("uselev.lst"),
                         widgets::toQString(level::LevelChoicePath(m_startFolder)));
    close();
}

} // namespace selector
