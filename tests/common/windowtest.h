#pragma once

// What every window test of the project shares: its main function and the environment it runs in.

#include "modalanswerer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>


// The test-wide settings of a window test, made before the QApplication: Qt's own dialogs (a
// native one would hang a headless test), a private home and settings folder, so that neither the
// user's files nor the file dialog's stored history take part.
class WindowTestEnvironment {
public:
    WindowTestEnvironment();

private:
    QTemporaryDir m_home;
};

// The main function of a window test. An answerer with no answers stands behind the tests' own:
// it closes and fails any modal window that no test answers, so no test hangs in one.

#define LEVELTOOLS_TEST_MAIN(TestObject)                                                           \
    int main(int argc, char* argv[]) {                                                             \
        WindowTestEnvironment environment;                                                         \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        ModalAnswerer unexpectedWindows;                                                           \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
