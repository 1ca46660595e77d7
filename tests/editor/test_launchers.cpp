// The three buttons that start the game's own editors.

#include "editor/directorylist.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"

#include <QFileInfo>

#include <optional>

class TestLaunchers : public QObject {
    Q_OBJECT

private slots:

    void cleanup() { m_editor.close(); }

    void eachClickStartsOneMoreCopyWithoutArguments() {
        QString record;
        QVERIFY(m_editor.open([&](GameFolder& game) {
            record = game.file("started.txt");
            for (const char* program : {"drovnik.exe", "pelmasq.exe", "surrowen.exe"})
                QVERIFY(writeStandIn(game.file(QString::fromLatin1(program)), record));
            qputenv("STANDIN_RECORD", record.toLocal8Bit());
        }));
        // Browsing elsewhere does not change which program starts.
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        click(w(), "Command3");
        click(w(), "Command3");
        click(w(), "Command4");
        click(w(), "Command5");
        const QString here = QDir::currentPath();
        QCOMPARE(startsRecorded(record, 4),
                 (QStringList{"drovnik.exe 0 " + here, "drovnik.exe 0 " + here,
                              "pelmasq.exe 0 " + here, "surrowen.exe 0 " + here}));
    }

    void aMissingProgramIsReported() {
        QVERIFY(m_editor.open());
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w(), "Command4");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[0].text.contains(game().shownFile("pelmasq.exe")));
    }

    void aProgramWithoutExecutePermissionIsReported() {
#ifdef Q_OS_WIN
        QSKIP("Windows has no execute permission: a file named .exe is started as a program");
#endif
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("drovnik.exe"), "#!/bin/sh\n"));
        }));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w(), "Command3");
        QCOMPARE(answerer.count(), 1);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("Permission denied")));
    }

    // Windows programs, as a real game folder holds them ("MZ" first, no execute permission),
    // start through wine; a script beside them starts itself.
    void windowsProgramsStartThroughWine() {
#ifdef Q_OS_WIN
        QSKIP("On Windows the game's programs start directly; eachClickStarts… checks that");
#endif
        QString record;
        std::optional<SearchPath> path;
        QVERIFY(m_editor.open([&](GameFolder& game) {
            record = game.file("started.txt");
            for (const char* program : {"drovnik.exe", "surrowen.exe"})
                QVERIFY(writeBytes(game.file(QString::fromLatin1(program)), windowsProgram));
            QVERIFY(writeStandIn(game.file("pelmasq.exe"), record));
            QVERIFY(QDir(game.path()).mkdir("bin"));
            QVERIFY(writeExecutable(game.file("bin/wine"),
                                    "#!/bin/sh\nprintf 'wine %s %s %s\\n' \"$#\" \"$1\" \"$PWD\" "
                                    ">> \"$STANDIN_RECORD\"\n"));
            qputenv("STANDIN_RECORD", record.toLocal8Bit());
            path.emplace(game.file("bin").toLocal8Bit() + ':' + qgetenv("PATH"));
        }));
        click(w(), "Command3");
        click(w(), "Command4");
        click(w(), "Command5");
        const QString here = QDir::currentPath();
        QCOMPARE(startsRecorded(record, 3),
                 (QStringList{"pelmasq.exe 0 " + here,
                              "wine 1 " + game().file("drovnik.exe") + " " + here,
                              "wine 1 " + game().file("surrowen.exe") + " " + here}));
    }

    void aWindowsProgramWithoutWineIsReported() {
#ifdef Q_OS_WIN
        QSKIP("On Windows the game's programs start directly, without Wine");
#endif
        std::optional<SearchPath> path;
        QVERIFY(m_editor.open([&](GameFolder& game) {
            QVERIFY(writeBytes(game.file("drovnik.exe"), windowsProgram));
            QVERIFY(QDir(game.path()).mkdir("bin"));
            path.emplace(game.file("bin").toLocal8Bit()); // no wine there
        }));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w(), "Command3");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].text,
                 "cannot start " + game().file("drovnik.exe") +
                     ": it is a Windows program, and Wine is not installed");
    }

private:
    Form1& w() {
        return *m_editor.window;
    }
    GameFolder& game() {
        return *m_editor.game;
    }

    EditorWindow m_editor;

    // The first bytes of a Windows program.
    inline static const QByteArray windowsProgram{"MZ\x90\0\3\0\0\0", 8};

    // The search path for programs, while it lives.
    class SearchPath {
    public:
        explicit SearchPath(const QByteArray& path)
            : m_old(qgetenv("PATH")) {
            qputenv("PATH", path);
        }
        ~SearchPath() { qputenv("PATH", m_old); }

    private:
        QByteArray m_old;
    };

    static bool writeExecutable(const QString& path, const QByteArray& script) {
        return writeBytes(path, script) &&
               QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A stand-in editor that appends its name, its argument count and its working folder: on
    // Windows a copy of the program standin.exe (built beside the tests), started directly.
    static bool writeStandIn(const QString& path, const QString& record) {
#ifdef Q_OS_WIN
        Q_UNUSED(record);
        return QFile::copy(QCoreApplication::applicationDirPath() + "/standin.exe", path);
#else
        const QByteArray script = "#!/bin/sh\nprintf '%s %s %s\\n' \"$(basename \"$0\")\" \"$#\" "
                                  "\"$PWD\" >> \"$STANDIN_RECORD\"\n";
        Q_UNUSED(record);
        return writeExecutable(path, script);
#endif
    }

    // The starts the stand-ins recorded, once there are `count` of them (they run on their own),
    // sorted.
    static QStringList startsRecorded(const QString& record, int count) {
        (void)QTest::qWaitFor([&] { return readBytes(record).count('\n') >= count; }, 10000);
        QStringList lines = QString::fromUtf8(readBytes(record)).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    }
};

LEVELTOOLS_TEST_MAIN(TestLaunchers)
#include "test_launchers.moc"
