// Loading and saving level files through the window: the questions, the folders, the failures.

#include "core/recovery.h"
#include "editor/directorylist.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"
#include "widgets/longtext.h"
#include "widgets/qtpath.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTime>

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

    // Closing the window asks only while the rows differ from what was saved or loaded: No keeps
    // it open, Yes closes and drops them.
    void closingWithUnsavedRowsAsksFirst() {
        QVERIFY(m_editor.open());
        w().close();
        QVERIFY(!w().isVisible());
        showAndActivate(w());
        QVERIFY(w().level().addLine("row"));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::No).press(QMessageBox::Yes);
        w().close();
        QVERIFY(w().isVisible());
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].text,
                 QStringLiteral("nicht gespeichert, trotzdem schliessen ?"));
        QCOMPARE(answerer.seen()[0].title, QCoreApplication::applicationName());
        QCOMPARE(answerer.seen()[0].defaultButton, QStringLiteral("No"));
        w().close();
        QVERIFY(!w().isVisible());
    }

    // A level file changed on disk by someone else, while the window was not active: with the
    // rows as loaded, loading it again is offered; with unsaved rows nothing is said until a save
    // onto it, which asks first. A file deleted on disk is made again only after that question.
    void aLevelChangedOnDiskIsOfferedOrGuarded() {
        QVERIFY(m_editor.open([](GameFolder& g) {
            QVERIFY(writeBytes(g.levels() + QStringLiteral("/a.lev"), "one\r\n"));
        }));
        const QString file = game().levels() + QStringLiteral("/a.lev");
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        QWidget other;
        other.resize(200, 100);
        // Changed within the same second, with the same size: on a file system that keeps
        // whole seconds only the bytes tell.
        QDateTime second = QDateTime::currentDateTimeUtc();
        second.setTime(QTime(second.time().hour(), second.time().minute(), second.time().second()));
        const auto setTime = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadWrite) &&
                   f.setFileTime(second, QFileDevice::FileModificationTime);
        };
        QVERIFY(setTime());
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes).press(QMessageBox::Yes);
            click(w(), "load");
            QVERIFY(writeBytes(file, "two\r\n"));
            QVERIFY(setTime());
            // The watcher or the window's activation tells, whichever comes first.
            other.show();
            other.activateWindow();
            w().activateWindow();
            QTRY_COMPARE(answerer.count(), 2);
            QCOMPARE(answerer.seen()[1].text,
                     QStringLiteral("auf der Platte geaendert, neu laden ?"));
            QCOMPARE(answerer.seen()[1].title, QStringLiteral("a.lev"));
        }
        QCOMPARE(rows(w()), Rows{"two"});
        QVERIFY(!w().level().isModified());
        showAndActivate(w());

        QVERIFY(w().level().addLine("mine"));
        QVERIFY(writeBytes(file, "three\r\n"));
        showAndActivate(other);
        showAndActivate(w()); // no question: the rows are not as loaded
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes).press(QMessageBox::No);
            click(w(), "save");
            QCOMPARE(answerer.count(), 2);
            QCOMPARE(answerer.seen()[1].text,
                     QStringLiteral(
                         "seit dem Laden auf der Platte geaendert, trotzdem ueberschreiben ?"));
            QCOMPARE(answerer.seen()[1].defaultButton, QStringLiteral("No"));
        }
        QCOMPARE(readBytes(file), QByteArray("three\r\n"));
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes).press(QMessageBox::Yes);
            click(w(), "save");
            QCOMPARE(answerer.count(), 2);
        }
        QCOMPARE(readBytes(file), QByteArray("two\r\nmine\r\n"));

        QVERIFY(QFile::remove(file));
        QVERIFY(w().level().addLine("again"));
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes).press(QMessageBox::Yes);
            click(w(), "save");
            QCOMPARE(answerer.count(), 2);
            QCOMPARE(
                answerer.seen()[1].text,
                QStringLiteral("seit dem Laden auf der Platte geloescht, trotzdem speichern ?"));
        }
        QCOMPARE(readBytes(file), QByteArray("two\r\nmine\r\nagain\r\n"));
    }

    // Recoveries of editors that crashed: only those of this start folder are offered, newest
    // first. No keeps the file for one more start, which removes it unasked; Yes restores the
    // rows as one unsaved step, and the level file on disk stays as it was.
    void recoveriesOfThisFolderAreOfferedOnce() {
        QVERIFY(m_editor.open([](GameFolder& g) {
            QVERIFY(writeBytes(g.levels() + QStringLiteral("/a.lev"), "on disk\r\n"));
        }));
        const auto folder = level::RecoveryFolder();
        QVERIFY(folder);
        const std::string level = widgets::toCorePath(game().levels() + QStringLiteral("/a.lev"));
        auto put = [&](const char* name, const std::string& start, std::int64_t at, Rows rows) {
            const QString path = widgets::fromCorePath(*folder + name);
            QVERIFY(writeBytes(
                path, QByteArray::fromStdString(level::FormatRecovery({start, level, at}, rows))));
        };
        put("level-1-a.lev-recovery", game().coreStartFolder(), 100, {"older"});
        put("level-2-b.lev-recovery", game().coreStartFolder(), 200, {"newer", "rows"});
        put("level-3-c.lev-recovery", "/another/game/", 300, {"elsewhere"});
        { // declined there once: kept until the editor starts there again
            auto other = level::ClaimAbandonedRecoveries(*folder);
            QVERIFY(other && other->size() == 3);
            QVERIFY((*other)[0]->Decline());
        }
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::No).press(QMessageBox::No);
            w().offerRecoveries();
            QCOMPARE(answerer.count(), 2);
            QVERIFY(
                answerer.seen()[0].text.startsWith(QStringLiteral("2 nicht gespeicherte Zeilen")));
            QCOMPARE(answerer.seen()[0].title, QStringLiteral("a.lev"));
            QVERIFY(
                answerer.seen()[1].text.startsWith(QStringLiteral("1 nicht gespeicherte Zeilen")));
        }
        QCOMPARE(rows(w()), Rows{});
        {
            ModalAnswerer answerer;
            w().offerRecoveries(); // the next start
            QCOMPARE(answerer.count(), 0);
        }
        {
            auto left = level::ClaimAbandonedRecoveries(*folder);
            QVERIFY(left);
            QCOMPARE(left->size(), std::size_t{1});
            QVERIFY((*left)[0]->path().ends_with("level-3-c.lev-recovery"));
            QVERIFY((*left)[0]->Remove());
        }

        put("level-4-d.lev-recovery", game().coreStartFolder(), 400, {"restored", ""});
        {
            ModalAnswerer answerer;
            answerer.press(QMessageBox::Yes);
            w().offerRecoveries();
            QCOMPARE(answerer.count(), 1);
        }
        QCOMPARE(rows(w()), (Rows{"restored", ""}));
        QVERIFY(w().level().isModified());
        QVERIFY(control<QLabel>(w(), "Label2")->text().endsWith(QStringLiteral(" *")));
        QCOMPARE(readBytes(game().levels() + QStringLiteral("/a.lev")), QByteArray("on disk\r\n"));
        QVERIFY(w().level().undo());
        QCOMPARE(rows(w()), Rows{});
        auto none = level::ClaimAbandonedRecoveries(*folder);
        QVERIFY(none && none->empty());
    }

private:
    Form1& w() { return *m_editor.window; }
    GameFolder& game() { return *m_editor.game; }

    EditorWindow m_editor;
};

LEVELTOOLS_TEST_MAIN(TestLevelFiles)
#include "test_levelfiles.moc"
