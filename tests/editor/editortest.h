#pragma once

// Helpers the editor's window tests share: ways to reach the controls of a running Form1 the way
// a user does.

#include "editor/contentlist.h"
#include "editor/filelist.h"
#include "editor/form1.h"
#include "tests/common/windowtest.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace editor;

// The editor's window over a fresh game folder, shown and active: what a test class's init() (or
// each test function, when it needs files of its own) opens and its cleanup() closes.
struct EditorWindow {
    std::unique_ptr<GameFolder> game;
    std::unique_ptr<Form1> window;

    // prepare, when given, fills the game folder before the window opens there, with QVERIFY and
    // the like: after a failure there no window opens. False when the test has failed.
    bool open(const std::function<void(GameFolder&)>& prepare = {});
    void close() {
        window.reset();
        game.reset();
    }
};

template <typename T = QWidget> T* control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

inline void click(QWidget& window, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

inline std::vector<std::string> rows(const Form1& window) {
    return window.lines().Lines();
}

inline int selectedRow(const Form1& window) {
    return window.lines().SelectedIndex();
}

// Clicks a row of a list view at its place, as a user selects it.
inline void clickRow(QAbstractItemView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(index).center());
}

// Appends rows to the level, each as one step of its history.
inline void addRows(Form1& window, const std::vector<std::string>& texts) {
    for (const auto& text : texts)
        QVERIFY(window.level().addLine(text));
}

// Selects a row of the content list by clicking it, as a user does.
inline void selectRowByClick(Form1& window, int row) {
    clickRow(control<ContentList>(window, "inhalt"), row);
    QCOMPARE(selectedRow(window), row);
}

// Selects a level file in File1 by clicking its entry.
inline bool selectLevelFile(Form1& window, const QString& name) {
    auto* list = control<FileList>(window, "File1");
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    clickRow(list, list->row(found.first()));
    return list->selectedFileName() == name;
}

inline void showAndActivate(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

inline bool EditorWindow::open(const std::function<void(GameFolder&)>& prepare) {
    game = std::make_unique<GameFolder>();
    if (prepare)
        prepare(*game);
    if (QTest::currentTestFailed())
        return false;
    window = std::make_unique<Form1>(game->startFolder());
    showAndActivate(*window);
    return !QTest::currentTestFailed();
}

// Types text key by key, also characters that have no key of their own on a US keyboard.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// A double click as the window system delivers it: press, release, double-click, release.
inline void doubleClick(QWidget* widget, QPoint pos) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

// Takes away a tool tip at once (QToolTip::hideText lets it fade out first).
inline void removeToolTip() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("qtooltip_label"))
            delete window;
}

// The tool tip that pointing at a row of a list shows, as one line; empty when none shows.
inline QString toolTipOfRow(QAbstractItemView* view, int row) {
    removeToolTip();
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    const QRect place = view->visualRect(index).intersected(view->viewport()->rect());
    QHelpEvent help(QEvent::ToolTip, place.center(), view->viewport()->mapToGlobal(place.center()));
    QApplication::sendEvent(view->viewport(), &help);
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    removeToolTip();
    return QString(tip).remove(QLatin1Char('\n'));
}
