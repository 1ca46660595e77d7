// Loading and saving level files through the window: the questions, the folders, the failures.

#include "editor/directorylist.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"
#include "widgets/longtext.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScreen>

#include <sys/stat.h>

using Rows = std::vector<std::string>;

class TestLevelFiles : public QObject {
    Q_OBJECT

private slots:

    void cleanup() { m_editor.close(); }

    void loadAskedAndAnsweredYesReplacesTheRows() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("a.lev"),
                               "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n\r\n[end]\r\n"));
        }));
        QVERIFY(w().level().addLine("old"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));

        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(w(), "load");
        QCOMPARE(answerer.count(), 1);
        const auto& box = answerer.seen()[0];
        QCOMPARE(box.title, QStringLiteral("a.lev"));
        QCOMPARE(box.text, QStringLiteral("laden ?"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons.size(), 2);
        QCOMPARE(box.defaultButton, QStringLiteral("Yes"));
        QCOMPARE(rows(w()), (Rows{"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "", "[end]"}));
        QCOMPARE(selectedRow(w()), -1);
        QCOMPARE(w().windowTitle(), QStringLiteral("Level Editor / ") + game().startFolder());
    }

    // The title is the only place where a question names its file: the box is wide enough for it.
    void questionsAreWideEnoughForTheirTitles_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("question");
        QTest::newRow("load") << "load"
                              << "laden ?";
        QTest::newRow("save") << "save"
                              << "speichern ?";
        QTest::newRow("delete file") << "del"
                                     << "wirklich loeschen ?";
    }
    void questionsAreWideEnoughForTheirTitles() {
        QFETCH(QString, button);
        QFETCH(QString, question);
        const QString name =
            QStringLiteral("mission twelve - the long battle at the outer rim.lev");
        QVERIFY(m_editor.open(
            [&](GameFolder& game) { QVERIFY(writeBytes(game.file(name), "row\r\n")); }));
        QVERIFY(selectLevelFile(w(), name));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::No);
        click(w(), qPrintable(button));
        QCOMPARE(answerer.count(), 1);
        const auto& box = answerer.seen()[0];
        QCOMPARE(box.title, name);
        QCOMPARE(box.text, question);
        QVERIFY2(box.width >= titleTextWidth(name),
                 qPrintable(QStringLiteral("%1 < %2").arg(box.width).arg(titleTextWidth(name))));
        QVERIFY(box.width <= w().screen()->availableGeometry().width());
    }

    // A row of 20 MB shows (its start), keeps the window answering and is saved unchanged.
    void aHugeRowIsShownAndSavedUnchanged() {
        QByteArray row;
        row.reserve(20 << 20);
        while (row.size() < (20 << 20))
            row += "ADD SHIP x= 1 y= 2 r=3 team=1 typ=4 \xE4";
        const QByteArray bytes = row + "\r\nsecond\r\n";
        QVERIFY(m_editor.open(
            [&](GameFolder& game) { QVERIFY(writeBytes(game.file("levels/huge.lev"), bytes)); }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QVERIFY(selectLevelFile(w(), QStringLiteral("huge.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Yes);
        click(w(), "load");
        QCOMPARE(rows(w()).size(), std::size_t{2});
        QCOMPARE(rows(w())[0].size(), std::size_t(row.size() + row.count('\xE4')));

        QElapsedTimer answering;
        answering.start();
        auto* list = control<ContentList>(w(), "inhalt");
        list->viewport()->repaint();
        const QString shown = list->model()->index(0, 0).data().toString();
        QCOMPARE(shown.size(), widgets::MaxShownCharacters + 1);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QCOMPARE(toolTipOfRow(list, 0), shown);
        QVERIFY2(answering.elapsed() < 10000, qPrintable(QString::number(answering.elapsed())));

        click(w(), "save");
        QCOMPARE(answerer.count(), 2);
        QVERIFY(readBytes(game().file("levels/huge.lev")) == bytes);
    }

    void loadAnsweredNoKeepsTheRows() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "new\r\n")); }));
        QVERIFY(w().level().addLine("old"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::No);
        click(w(), "load");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(rows(w()), Rows{"old"});
    }

    void withoutSelectedFileNothingIsAsked() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "new\r\n")); }));
        ModalAnswerer answerer;
        click(w(), "load");
        click(w(), "save");
        click(w(), "del");
        QCOMPARE(answerer.count(), 0);
        QVERIFY(rows(w()).empty());
        QVERIFY(QFileInfo::exists(game().file("a.lev")));
    }

    void saveWritesExactBytesIntoTheLevelsFolder() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("levels/a.lev"), "old bytes\r\n"));
        }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        for (const char* row : {"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "", "Größe €", "a, b",
                                "\"quoted\"", "  blanks  "})
            QVERIFY(w().level().addLine(row));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));

        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(w(), "save");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("a.lev"));
        QCOMPARE(answerer.seen()[0].text, QStringLiteral("speichern ?"));
        QCOMPARE(readBytes(game().file("levels/a.lev")),
                 QByteArray("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n\r\nGr\xF6\xDF"
                            "e \x80\r\na, b\r\n\"quoted\"\r\n  blanks  \r\n"));

        // Loading it back gives the very same rows, commas, quotes and blanks included.
        const Rows saved = rows(w());
        click(w(), "clear");
        answerer.press(QMessageBox::Yes);
        click(w(), "load");
        QCOMPARE(rows(w()), saved);
    }

    void saveAnsweredNoLeavesTheFile() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("levels/a.lev"), "old\r\n")); }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QVERIFY(w().level().addLine("new"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::No);
        click(w(), "save");
        QCOMPARE(readBytes(game().file("levels/a.lev")), QByteArray("old\r\n"));
    }

    void loadReadsFromTheBrowsedFolderAndSaveWritesToLevels() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(QDir(game.path()).mkdir(QStringLiteral("drafts")));
            QVERIFY(writeBytes(game.file("drafts/d.lev"), "draft row\n"));
        }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().file("drafts"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("d.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Yes);
        click(w(), "load");
        QCOMPARE(rows(w()), Rows{"draft row"});
        click(w(), "save");
        QCOMPARE(answerer.count(), 2);
        QCOMPARE(readBytes(game().file("levels/d.lev")), QByteArray("draft row\r\n"));
        QCOMPARE(readBytes(game().file("drafts/d.lev")), QByteArray("draft row\n"));
    }

    void failedLoadKeepsTheListAndSaysWhy() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QByteArray tooLong;
            for (int i = 0; i < 32768; ++i)
                tooLong += "r\r\n";
            QVERIFY(writeBytes(game.file("big.lev"), tooLong));
            QVERIFY(writeBytes(game.file("gone.lev"), "x\r\n"));
        }));
        QVERIFY(w().level().addLine("keep me"));
        QVERIFY(w().level().addLine("and me"));
        clickRow(control<ContentList>(w(), "inhalt"), 1);

        for (const QString& name : {QStringLiteral("big.lev"), QStringLiteral("gone.lev")}) {
            QVERIFY(selectLevelFile(w(), name));
            if (name == QStringLiteral("gone.lev"))
                QVERIFY(QFile::remove(game().file(name)));
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes).press(QMessageBox::Ok);
            click(w(), "load");
            QCOMPARE(answerer.count(), 2);
            const auto& failure = answerer.seen()[1];
            QCOMPARE(failure.icon, QMessageBox::Critical);
            QVERIFY2(failure.text.contains(game().shownFile(name)), qPrintable(failure.text));
            QCOMPARE(rows(w()), (Rows{"keep me", "and me"}));
            QCOMPARE(selectedRow(w()), 1);
        }
    }

    void failedSaveKeepsTheOldFileAndSaysWhy() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("levels/ro.lev"), "old\r\n"));
            QVERIFY(QFile::setPermissions(game.file("levels/ro.lev"),
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QVERIFY(w().level().addLine("new"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("ro.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Ok);
        click(w(), "save");
        QCOMPARE(answerer.count(), 2);
        QCOMPARE(answerer.seen()[1].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[1].text.contains(QStringLiteral("ro.lev")));
        QCOMPARE(readBytes(game().file("levels/ro.lev")), QByteArray("old\r\n"));
        QCOMPARE(rows(w()), Rows{"new"});
    }

    void saveWithoutLevelsFolderFailsAndCreatesNothing() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(QDir(game.levels()).removeRecursively());
            QVERIFY(writeBytes(game.file("a.lev"), ""));
        }));
        QVERIFY(w().level().addLine("row"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Ok);
        click(w(), "save");
        QCOMPARE(answerer.count(), 2);
        QCOMPARE(answerer.seen()[1].icon, QMessageBox::Critical);
        QVERIFY(!QFileInfo::exists(game().levels()));
    }

    void unrepresentableCharacterRefusesTheSave() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("levels/a.lev"), "old\r\n")); }));
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QVERIFY(w().level().addLine("fine"));
        QVERIFY(w().level().addLine("Ω ship"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Ok);
        click(w(), "save");
        QCOMPARE(answerer.count(), 2);
        const QString text = answerer.seen()[1].text;
        QVERIFY2(text.contains(QStringLiteral("2")) && text.contains(QString::fromUtf8("Ω")),
                 qPrintable(text));
        QCOMPARE(readBytes(game().file("levels/a.lev")), QByteArray("old\r\n"));
    }

private:
    Form1& w() { return *m_editor.window; }
    GameFolder& game() { return *m_editor.game; }

    EditorWindow m_editor;
};

LEVELTOOLS_TEST_MAIN(TestLevelFiles)
#include "test_levelfiles.moc"
