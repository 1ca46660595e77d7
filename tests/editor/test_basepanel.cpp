// The base panel on its own: the lines it builds and its file choice.

#include "editor/basepanel.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/paneltest.h"
#include "widgets/geometry.h"

#include <QDir>
#include <QTest>

namespace {

struct Panel : PanelTest<BasePanel> {
    explicit Panel(const QString& startFolder = QString())
        : PanelTest(startFolder) {}
};

} // namespace

class TestBasePanel : public QObject {
    Q_OBJECT

private slots:

    void placesInTwips() {
        Panel p;
        QCOMPARE(p.panel.size(), QSize(177, 137));
        QCOMPARE(p.get("bs4")->geometry(), widgets::twipsRect(480, 480, 615, 285));
        QCOMPARE(p.get("bs8")->geometry(), widgets::twipsRect(1920, 840, 495, 255));
        QCOMPARE(p.get("bs4")->property("tabIndex").toInt(), 26);
        QCOMPARE(p.get("bs8")->property("tabIndex").toInt(), 31);
    }

    void linesFromTypedValues_data() {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("line");
        QTest::newRow("start values") << "0"
                                      << "0"
                                      << "base1.bs"
                                      << "ADD BASE  x=0 y=0 file=base1.bs";
        QTest::newRow("no sign column") << "12"
                                        << "-5"
                                        << "b.bs"
                                        << "ADD BASE  x=12 y=-5 file=b.bs";
        QTest::newRow("not numbers") << "abc"
                                     << ""
                                     << "b.bs"
                                     << "ADD BASE  x=abc y= file=b.bs";
        QTest::newRow("blank file") << "0"
                                    << "0"
                                    << " "
                                    << "ADD BASE  x=0 y=0 file= ";
        QTest::newRow("empty file") << "0"
                                    << "0"
                                    << ""
                                    << "";
    }
    void linesFromTypedValues() {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, file);
        QFETCH(QString, line);
        Panel p;
        p.type("bs4", x);
        p.type("bs6", y);
        p.type("bs7", file);
        p.click("bs1");
        p.click("bs1");
        if (line.isEmpty()) {
            QVERIFY(p.lines.isEmpty());
        } else {
            QCOMPARE(p.lines, (QStringList{line, line}));
        }
        // Nothing is cleared by an add.
        QCOMPARE(p.text("bs4"), x);
        QCOMPARE(p.text("bs7"), file);
    }

    void fileChosenInTheDialog() {
        GameFolder folder;
        const QString path = folder.file(QStringLiteral("base1.bs"));
        QVERIFY(writeBytes(path, {}));
        Panel p(folder.path());
        QStringList filters;
        QString directory;
        {
            ModalAnswerer answer;
            answer.then(noteOfferedFiles(filters, directory, path));
            p.click("bs8");
            QTRY_VERIFY(answer.done());
        }
        QVERIFY2(filters.join(QLatin1Char(';')).contains(QLatin1String("*.bs")),
                 qPrintable(filters.join(QLatin1Char(';'))));
        QCOMPARE(directory, QDir(folder.path()).absolutePath());
        QCOMPARE(p.text("bs7"), QStringLiteral("base1.bs"));
        p.click("bs1");
        QCOMPARE(p.lines, QStringList{QStringLiteral("ADD BASE  x=0 y=0 file=base1.bs")});
    }

    // A file chosen outside the game folder goes in by its name; when the game folder has no file
    // of that name, a warning names the folder the game looks in. With one there, nothing is said.
    void aFileOutsideTheGameFolderIsTakenWithAWarning() {
        GameFolder game;
        GameFolder elsewhere(false);
        const QString outside = elsewhere.file(QStringLiteral("far.bs"));
        QVERIFY(writeBytes(outside, {}));
        Panel p(game.startFolder());
        {
            ModalAnswerer answer;
            answer.chooseFile(outside).press(QMessageBox::Ok);
            p.click("bs8");
            QTRY_VERIFY(answer.done());
            QCOMPARE(answer.count(), 2);
            QCOMPARE(answer.seen()[1].icon, QMessageBox::Warning);
            QVERIFY2(answer.seen()[1].text.contains(QDir::toNativeSeparators(game.startFolder())) &&
                         answer.seen()[1].text.contains(QLatin1String("far.bs")),
                     qPrintable(answer.seen()[1].text));
        }
        QCOMPARE(p.text("bs7"), QStringLiteral("far.bs"));

        QVERIFY(writeBytes(game.file(QStringLiteral("far.bs")), {}));
        p.type("bs7", QString());
        {
            ModalAnswerer answer;
            answer.chooseFile(outside);
            p.click("bs8");
            QTRY_VERIFY(answer.done());
            QCOMPARE(answer.count(), 1);
        }
        QCOMPARE(p.text("bs7"), QStringLiteral("far.bs"));
    }

    void cancelledDialogKeepsTheTypedName() {
        Panel p;
        p.type("bs7", QStringLiteral("typed.bs"));
        {
            ModalAnswerer answer;
            answer.cancelDialog();
            p.click("bs8");
            QTRY_VERIFY(answer.done());
        }
        QCOMPARE(p.text("bs7"), QStringLiteral("typed.bs"));
        QVERIFY(p.lines.isEmpty());
    }

    void valuesSurviveHideAndShow() {
        Panel p;
        p.type("bs4", QStringLiteral("12"));
        p.type("bs7", QStringLiteral("b.bs"));
        p.panel.hide();
        p.panel.show();
        p.click("bs1");
        QCOMPARE(p.lines, QStringList{QStringLiteral("ADD BASE  x=12 y=0 file=b.bs")});
    }
};

LEVELTOOLS_TEST_MAIN(TestBasePanel)
#include "test_basepanel.moc"
