#pragma once

// What every window test of the project shares: its main function and the environment it runs in.

#include "tests/common/gamefolder.h"
#include "tests/common/modalanswerer.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTest>

// The temporary game folder of a window test, its paths as Qt writes them. The start folder is
// its path with one trailing separator.
class GameFolder {
public:
    explicit GameFolder(bool withLevels = true)
        : m_folder(withLevels) {}

    QString path() const { return qtPath(m_folder.path()); }
    QString file(const QString& relative) const { return path() + QLatin1Char('/') + relative; }
    QString levels() const { return qtPath(m_folder.levels()); }
    QString startFolder() const { return path() + QLatin1Char('/'); }
    // A file's path as the programs' messages show it: with the system's separators ("\\" on
    // Windows).
    QString shownFile(const QString& relative) const {
        return QDir::toNativeSeparators(file(relative));
    }
    // The start folder as the core takes it.
    std::string coreStartFolder() const { return m_folder.startFolder(); }

private:
    static QString qtPath(const std::string& path);

    TempGameFolder m_folder;
};

// Files byte for byte.
QByteArray readBytes(const QString& path); // "<missing>" when it cannot be read
bool writeBytes(const QString& path, const QByteArray& bytes);

// Less than a window needs for its whole title in a title bar: the title in the bold application
// font or in the platform's bold title font, whichever is wider, and three buttons of the
// application font's height.
int titleTextWidth(const QString& title);

// The test-wide settings of a window test, made before the QApplication: Qt's own dialogs (a
// native one would hang a headless test), a private home and settings folder, so that neither the
// user's files nor the file dialog's stored history take part.
class WindowTestEnvironment {
public:
    WindowTestEnvironment();

private:
    TempGameFolder m_home{false};
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
