// The three buttons that start the game's own editors.

#include "directorylist.h"
#include "editortest.h"
#include "modalanswerer.h"
#include "windowtest.h"

#include <QFileInfo>

class TestLaunchers : public QObject {
    Q_OBJECT

private slots:

    void eachClickStartsOneMoreCopyWithoutArguments() {
        GameFolder game;
        const QString record = game.file("started.txt");
        for (const char* program : {"drovnik.exe", "pelmasq.exe", "surrowen.exe"})
            QVERIFY(writeStandIn(game.file(QString::fromLatin1(program)), record));
        qputenv("STANDIN_RECORD", record.toLocal8Bit());

        Form1 w(game.startFolder());
        showAndActivate(w);
        // Browsing elsewhere does not change which program starts.
        control<DirectoryList>(w, "Dir1")->setPath(game.levels());
        click(w, "Command3");
        click(w, "Command3");
        click(w, "Command4");
        click(w, "Command5");
        QVERIFY(QTest::qWaitFor([&] { return readBytes(record).count('\n') == 4; }, 10000));

        QStringList lines = QString::fromUtf8(readBytes(record)).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        const QString here = QDir::currentPath();
        QCOMPARE(lines, (QStringList{"drovnik.exe 0 " + here, "drovnik.exe 0 " + here,
                                     "pelmasq.exe 0 " + here, "surrowen.exe 0 " + here}));
    }

    void aMissingProgramIsReported() {
        GameFolder game;
        Form1 w(game.startFolder());
        showAndActivate(w);
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w, "Command4");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[0].text.contains(game.file("pelmasq.exe")));
    }

    void aProgramWithoutExecutePermissionIsReported() {
        GameFolder game;
        QVERIFY(writeBytes(game.file("drovnik.exe"), "#!/bin/sh\n"));
        Form1 w(game.startFolder());
        showAndActivate(w);
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w, "Command3");
        QCOMPARE(answerer.count(), 1);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("Permission denied")));
    }

private:
    // A stand-in editor that appends its name, its argument count and its working folder.
    static bool writeStandIn(const QString& path, const QString& record) {
        const QByteArray script = "#!/bin/sh\nprintf '%s %s %s\\n' \"$(basename \"$0\")\" \"$#\" "
                                  "\"$PWD\" >> \"$STANDIN_RECORD\"\n";
        Q_UNUSED(record);
        return writeBytes(path, script) &&
               QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

LEVELTOOLS_TEST_MAIN(TestLaunchers)
#include "test_launchers.moc"
