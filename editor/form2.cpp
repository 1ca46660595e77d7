#include "editor/form2.h"

#include "core/diskfiles.h"
#include "core/startfolder.h"
#include "widgets/geometry.h"
#include "widgets/keyboard.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QDir>
#include <QKeyEvent>

#include <algorithm>

namespace editor {

namespace {

// The window's client area as laid out; a wider one when the title needs more room.
constexpr int ClientWidthTwips = 2340;
constexpr int ClientHeightTwips = 960;

} // namespace

Form2::Form2(std::function<std::string()> folder, std::function<void()> created)
    : m_folder(std::move(folder))
    , m_created(std::move(created)) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("add new file ?"));
    widgets::useLayoutFont(this);
    createControls();
    fitTitle();
}

void Form2::createControls() {
    Text1 = widgets::placed<QLineEdit>(this, {"Text1", 120, 120, 1215, 285, 0});
    Text1->installEventFilter(this);
    Text1->setAccessibleName(QStringLiteral("file"));

    Text2 =
        widgets::placed<QLineEdit>(this, {"Text2", 1320, 120, 615, 285, 3}, QStringLiteral(".lev"));
    Text2->setReadOnly(true);
    Text2->setAccessibleName(QStringLiteral("extension"));

    // Neither button is a default button: Enter presses a button only while it has the focus.
    Command1 = widgets::placed<QPushButton>(this, {"Command1", 120, 480, 855, 375, 1},
                                            QStringLiteral("OK"));
    Command2 = widgets::placed<QPushButton>(this, {"Command2", 1080, 480, 855, 375, 2},
                                            QStringLiteral("CANCEL"));
    connect(Command1, &QPushButton::clicked, this, &Form2::command1Clicked);
    connect(Command2, &QPushButton::clicked, this, &Form2::command2Clicked);

    widgets::applyTabOrder(this);
    widgets::letEnterPressFocusedButtons(this);
    Text1->setFocus();
}

// The window is as laid out, or wider when its title needs more room in a title bar, so that a
// window manager shows the title whole. The controls keep their places from the left edge, where
// the layout puts them (a click where "CANCEL" belongs lands on "CANCEL"); the extra width is
// room on the right.
void Form2::fitTitle() {
    const int laidOut = widgets::twipsToPixels(ClientWidthTwips);
    setFixedSize(std::max(laidOut, widgets::titleBarWidth(windowTitle())),
                 widgets::twipsToPixels(ClientHeightTwips));
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        command1Clicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// "OK": creates the empty level file in the directory list's folder and closes. An existing file
// of that name is kept as it is. A name that would reach into another folder is refused.
void Form2::command1Clicked() {
    const QString name = Text1->text() + QStringLiteral(".lev");
    const std::string path = level::JoinPath(m_folder(), widgets::toCorePath(name));
    if (name.contains(QLatin1Char('/')) || name.contains(QDir::separator())) {
        widgets::showFailure(
            this, level::FileError{"create", path, "a file name cannot hold a folder separator"});
        return;
    }
    if (auto created = level::CreateEmptyFileIfMissing(path); !created) {
        widgets::showFailure(this, created.error());
        return;
    }
    m_created();
    close();
}

void Form2::command2Clicked() {
    close();
}

} // namespace editor
