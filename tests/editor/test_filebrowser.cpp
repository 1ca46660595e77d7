// The level file browser: folders, the file list, "add file" with its window, "delete file".

#include "editor/directorylist.h"
#include "editor/drivelist.h"
#include "editor/form2.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"
#include "widgets/geometry.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeWidget>

#include <filesystem>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

class TestFileBrowser : public QObject {
    Q_OBJECT

private slots:

    void cleanup() { m_editor.close(); }

    void directoryListShowsTheChainAndSubfolders() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(QDir(game.path()).mkdir(QStringLiteral("zeta")));
            QVERIFY(QDir(game.path()).mkdir(QStringLiteral("Alpha")));
        }));
        auto* dir = control<DirectoryList>(w(), "Dir1");
        QCOMPARE(dir->path(), game().path());
        QTreeWidgetItem* current = dir->currentItem();
        QVERIFY(current);
        QCOMPARE(current->text(0), QFileInfo(game().path()).fileName());
        QCOMPARE(current->childCount(), 3);
        QCOMPARE(current->child(0)->text(0), QStringLiteral("Alpha"));
        QCOMPARE(current->child(1)->text(0), QStringLiteral("levels"));
        QCOMPARE(current->child(2)->text(0), QStringLiteral("zeta"));
        // The chain starts at the root.
        QTreeWidgetItem* top = current;
        while (top->parent())
            top = top->parent();
        // "/", or the drive of the game folder ("C:\\").
        const QString root = QDir::cleanPath(game().path()).section(QLatin1Char('/'), 0, 0) + '/';
        QCOMPARE(top->text(0), QDir::toNativeSeparators(root));
    }

    // Names copied from a game folder made on Windows are Windows-1252 bytes, no UTF-8; a link
    // to a device is no folder to open.
    void oddNamesAreListedAndUsedByTheirOwnBytes() {
#ifdef Q_OS_WIN
        QSKIP("Windows names are UTF-16 and hold no stray bytes, and the compiler's library makes "
              "no symbolic links; the Windows core tests check names in other scripts");
#endif
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeFileBytes(game.coreStartFolder() + "levels/\xFF.lev",
                                   "ADD SHIP x= 1 y= 2 r=0 team=1 typ=1\r\n"));
            QVERIFY(QDir(game.path()).mkdir(QStringLiteral("real")));
            std::filesystem::create_directory(game.coreStartFolder() + "\xE9t\xE9"); // "été"
            std::filesystem::create_symlink("/dev/zero", game.coreStartFolder() + "zero");
        }));
        const std::string levels = game().coreStartFolder() + "levels/";
        auto* dir = control<DirectoryList>(w(), "Dir1");
        QStringList subfolders;
        for (int i = 0; i < dir->currentItem()->childCount(); ++i)
            subfolders << dir->currentItem()->child(i)->text(0);
        QCOMPARE(subfolders, (QStringList{QStringLiteral("levels"), QStringLiteral("real"),
                                          QStringLiteral("\u00E9t\u00E9")}));
        QTreeWidgetItem* odd = dir->currentItem()->child(2);
        doubleClick(dir->viewport(), dir->visualItemRect(odd).center());
        QCOMPARE(dir->corePath(), game().coreStartFolder() + "\xE9t\xE9");

        QVERIFY(dir->setPath(game().levels()));
        QVERIFY(selectLevelFile(w(), QStringLiteral("\u00FF.lev")));
        {
            ModalAnswerer answers;
            answers.press(QMessageBox::Yes).press(QMessageBox::Yes);
            click(w(), "load");
            QCOMPARE(rows(w()), (std::vector<std::string>{"ADD SHIP x= 1 y= 2 r=0 team=1 typ=1"}));
            click(w(), "Command2"); // freizeile
            click(w(), "save");
            QCOMPARE(answers.seen().at(0).title, QStringLiteral("\u00FF.lev"));
        }
        QCOMPARE(readFileBytes(levels + "\xFF.lev"), "ADD SHIP x= 1 y= 2 r=0 team=1 typ=1\r\n\r\n");
        {
            ModalAnswerer answers;
            answers.press(QMessageBox::Yes);
            click(w(), "del");
        }
        QCOMPARE(readFileBytes(levels + "\xFF.lev"), "<missing>");
        QCOMPARE(control<FileList>(w(), "File1")->count(), 0);
    }

    void openingAFolderMovesTheFileList() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("levels/one.lev"), ""));
            // Level files whatever the letter case of their ending, and nothing else.
            for (const char* name : {"levels/TWO.LEV", "levels/notes.txt", "levels/three.levx"})
                QVERIFY(writeBytes(game.file(name), ""));
            QVERIFY(writeBytes(game.file("top.lev"), ""));
        }));
        auto* dir = control<DirectoryList>(w(), "Dir1");
        auto* files = control<FileList>(w(), "File1");
        QCOMPARE(files->count(), 1);

        // Double-click on "levels".
        QTreeWidgetItem* levels = dir->currentItem()->child(0);
        const QRect place = dir->visualItemRect(levels);
        doubleClick(dir->viewport(), place.center());
        QCOMPARE(dir->path(), game().levels());
        QCOMPARE(files->path(), game().levels());
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(0)->text(), QStringLiteral("one.lev"));
        QCOMPARE(files->item(1)->text(), QStringLiteral("TWO.LEV"));

        // Enter on the parent entry goes back up.
        dir->setFocus();
        dir->setCurrentItem(dir->currentItem()->parent());
        QTest::keyClick(dir, Qt::Key_Return);
        QCOMPARE(dir->path(), game().path());
        QCOMPARE(files->item(0)->text(), QStringLiteral("top.lev"));
    }

    // Opened, a folder with many subfolders shows itself and the first of them.
    void anOpenedFolderAndItsFirstSubfoldersStayInView() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            for (int i = 0; i < 30; ++i)
                QVERIFY(QDir(game.path())
                            .mkpath(QStringLiteral("many/sub%1").arg(i, 2, 10, QChar(u'0'))));
        }));
        auto* dir = control<DirectoryList>(w(), "Dir1");
        dir->setFocus();
        dir->setCurrentItem(dir->currentItem()->child(1)); // "many", after "levels"
        QTest::keyClick(dir, Qt::Key_Return);
        QCOMPARE(dir->path(), game().file("many"));
        const QRect shown = dir->viewport()->rect();
        QVERIFY(shown.contains(dir->visualItemRect(dir->currentItem())));
        QVERIFY(shown.contains(dir->visualItemRect(dir->currentItem()->child(0))));
        QVERIFY(shown.contains(dir->visualItemRect(dir->currentItem()->child(1))));
    }

    void focusRefreshesTheListsFromDisk() {
        QVERIFY(
            m_editor.open([](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "")); }));
        auto* files = control<FileList>(w(), "File1");
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        control(w(), "load")->setFocus();

        QVERIFY(writeBytes(game().file("b.lev"), ""));
        QVERIFY(QDir(game().path()).mkdir(QStringLiteral("new folder")));
        files->setFocus();
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->selectedFileName(), QStringLiteral("a.lev")); // selection kept

        auto* dir = control<DirectoryList>(w(), "Dir1");
        dir->setFocus();
        QCOMPARE(dir->currentItem()->childCount(), 2);

        // A vanished current folder: the list falls back to the folder above it.
        QVERIFY(QDir(game().path()).mkdir(QStringLiteral("tmp")));
        dir->setPath(game().file("tmp"));
        control(w(), "load")->setFocus();
        QVERIFY(QDir(game().file("tmp")).removeRecursively());
        dir->setFocus();
        QCOMPARE(dir->path(), game().path());
        QCOMPARE(files->path(), game().path());
    }

    void aLongNameShowsWholeAsToolTip() {
        const QString name = QStringLiteral("a mission with a name much wider than the list.lev");
        QVERIFY(m_editor.open([&](GameFolder& game) {
            QVERIFY(writeBytes(game.file(name), ""));
            QVERIFY(writeBytes(game.file("b.lev"), ""));
        }));
        auto* files = control<FileList>(w(), "File1");
        QCOMPARE(toolTipOfRow(files, 0), name);
        QCOMPARE(toolTipOfRow(files, 1), QString());
    }

    void typingInTheFileListShowsTheCharacterCode() {
        QVERIFY(
            m_editor.open([](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "")); }));
        auto* files = control<FileList>(w(), "File1");
        files->setFocus();
        QTest::keyClick(files, Qt::Key_A);
        QCOMPARE(w().windowTitle(), QStringLiteral("97"));
        QTest::keyClick(files, Qt::Key_Return);
        QCOMPARE(w().windowTitle(), QStringLiteral("13"));
        QTest::keyClick(files, 'A', Qt::ShiftModifier);
        QCOMPARE(w().windowTitle(), QStringLiteral("65"));
        QTest::keyClick(files, Qt::Key_Down); // no character: no change
        QCOMPARE(w().windowTitle(), QStringLiteral("65"));
    }

    void driveListOffersTheRootFirst() {
        QVERIFY(m_editor.open());
        auto* drives = control<DriveList>(w(), "Drive1");
        QVERIFY(drives->count() >= 1);
#ifndef Q_OS_WIN // Windows lists its drives by letter (windowsDrivesLeadToTheirCurrentFolder)
        QCOMPARE(drives->itemData(0).toString(), QStringLiteral("/"));
#endif
        QVERIFY(game().path().startsWith(drives->drive()));
    }

    // Another drive moves the directory list (and the file list with it) to its root; choosing
    // again the drive that is shown changes nothing.
    void choosingADriveMovesTheDirectoryListOnlyWhenTheDriveChanges() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(QDir(game.path()).mkdir(QStringLiteral("deep"))); }));
        auto* drives = control<DriveList>(w(), "Drive1");
        auto* dir = control<DirectoryList>(w(), "Dir1");
        QVERIFY(dir->setPath(game().file("deep")));
        const int shown = drives->currentIndex();

        // Through the pop-up, as a user picks an entry: Return on the entry that is shown.
        drives->setFocus();
        drives->showPopup();
        QTest::keyClick(drives->view(), Qt::Key_Return);
        QCOMPARE(drives->currentIndex(), shown);
        QCOMPARE(dir->path(), game().file("deep"));
        QCOMPARE(control<FileList>(w(), "File1")->path(), game().file("deep"));

        // A drive whose root is the game folder stands in for another drive.
        drives->addItem(QStringLiteral("game"), game().path());
        drives->showPopup();
        QTest::keyClick(drives->view(), Qt::Key_End);
        QTest::keyClick(drives->view(), Qt::Key_Return);
        QCOMPARE(dir->path(), game().path());
        QCOMPARE(control<FileList>(w(), "File1")->path(), game().path());
    }

    // Windows shows its drives by letter and remembers a current folder for each: choosing a
    // drive leads there, not to its root.
    void windowsDrivesLeadToTheirCurrentFolder() {
#ifndef Q_OS_WIN
        QSKIP("Windows only: drive letters, and a current folder for every drive");
#else
        QVERIFY(m_editor.open());
        auto* drives = control<DriveList>(w(), "Drive1");
        int other = -1;
        for (int i = 0; i < drives->count(); ++i) {
            const QString root = drives->itemData(i).toString();
            QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z]:$"))
                         .match(drives->itemText(i))
                         .hasMatch(),
                     qPrintable(drives->itemText(i)));
            if (!game().path().startsWith(root, Qt::CaseInsensitive) && QFileInfo(root).isDir())
                other = i;
        }
        if (other < 0)
            QSKIP("this machine has no second drive that is ready");
        const QString root = drives->itemData(other).toString();
        const QStringList folders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (folders.isEmpty())
            QSKIP("the second drive has no folder to be left in");
        // The editor runs in the game folder, on its own drive; where the command prompt keeps
        // another drive's current folder: the variable "=D:".
        struct BackAfterwards {
            QString folder = QDir::currentPath();
            ~BackAfterwards() { QDir::setCurrent(folder); }
        } back;
        QVERIFY(QDir::setCurrent(game().path()));
        const QString variable = QLatin1Char('=') + root.left(2);
        const QString folder = QDir::toNativeSeparators(root + folders.first());
        QVERIFY(SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(variable.utf16()),
                                        reinterpret_cast<const wchar_t*>(folder.utf16())));
        drives->setCurrentIndex(other);
        emit drives->activated(other);
        QCOMPARE(control<DirectoryList>(w(), "Dir1")->path(), root + folders.first());
        SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(variable.utf16()), nullptr);
#endif
    }

    void aDriveThatIsNotReadyIsReportedAndTheListsStay() {
        QVERIFY(m_editor.open());
        auto* drives = control<DriveList>(w(), "Drive1");
        const int shown = drives->currentIndex();
        drives->addItem(QStringLiteral("gone"), game().file("unplugged"));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        drives->setCurrentIndex(drives->count() - 1);
        emit drives->activated(drives->count() - 1);
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[0].text.contains(game().shownFile("unplugged")));
        QCOMPARE(drives->currentIndex(), shown);
        QCOMPARE(control<DirectoryList>(w(), "Dir1")->path(), game().path());
    }

    void addFileCreatesEmptyFilesAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("created");
        QTest::newRow("plain name") << QStringLiteral("mission") << QStringLiteral("mission.lev");
        QTest::newRow("empty name") << QString() << QStringLiteral(".lev");
        QTest::newRow("extension typed") << QStringLiteral("a.lev") << QStringLiteral("a.lev.lev");
        QTest::newRow("blanks kept") << QStringLiteral(" b ") << QStringLiteral(" b .lev");
        QTest::newRow("umlaut") << QStringLiteral("größe") << QStringLiteral("größe.lev");
    }

    void addFileCreatesEmptyFilesAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, created);
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("add new file ?"));
        QCOMPARE(control<QLineEdit>(*dialog, "Text2")->text(), QStringLiteral(".lev"));
        QVERIFY(control<QLineEdit>(*dialog, "Text2")->isReadOnly());
        typeText(control(*dialog, "Text1"), typed);
        QPointer<Form2> guard(dialog);
        click(*dialog, "Command1");
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));

        QFileInfo file(game().file(created));
        QVERIFY2(file.exists(), qPrintable(file.filePath()));
        QCOMPARE(file.size(), 0);
        auto* files = control<FileList>(w(), "File1");
        QVERIFY(!files->findItems(created, Qt::MatchExactly).isEmpty());
        QCOMPARE(files->listIndex(), -1); // the new file is not selected
        QVERIFY(rows(w()).empty());
    }

    void addFileKeepsAnExistingFile() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("keep.lev"), "precious\r\n")); }));
        Form2* dialog = openForm2(w());
        QTest::keyClicks(control(*dialog, "Text1"), QStringLiteral("keep"));
        QPointer<Form2> guard(dialog);
        ModalAnswerer answerer;
        click(*dialog, "Command1");
        QCOMPARE(answerer.count(), 0);
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));
        QCOMPARE(readBytes(game().file("keep.lev")), QByteArray("precious\r\n"));
    }

    void escapeActsAsOkAndEnterDoesNothing() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto* name = control<QLineEdit>(*dialog, "Text1");
        QCOMPARE(QApplication::focusWidget(), name);
        QTest::keyClicks(name, QStringLiteral("esc"));
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Enter);
        QVERIFY(dialog->isVisible());
        QVERIFY(!QFileInfo::exists(game().file("esc.lev")));
        QPointer<Form2> guard(dialog);
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(QFileInfo::exists(game().file("esc.lev")));
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));
    }

    // Enter presses OK while it has the focus (in the name field it does nothing); the window is
    // wide enough for its title.
    void enterPressesTheFocusedButton() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QVERIFY(dialog->width() >= titleTextWidth(dialog->windowTitle()));
        QTest::keyClicks(control(*dialog, "Text1"), QStringLiteral("keyed"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QPointer<Form2> guard(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));
        QVERIFY(QFileInfo::exists(game().file("keyed.lev")));
    }

    // Widened for its title, the dialog keeps every control at its place from the left edge:
    // where "CANCEL" stands in the layout, a click finds "CANCEL".
    void theDialogsControlsKeepTheirPlaces() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        const std::pair<const char*, QRect> places[] = {
            {"Text1", widgets::twipsRect(120, 120, 1215, 285)},
            {"Text2", widgets::twipsRect(1320, 120, 615, 285)},
            {"Command1", widgets::twipsRect(120, 480, 855, 375)},
            {"Command2", widgets::twipsRect(1080, 480, 855, 375)}};
        for (const auto& [name, place] : places) {
            QCOMPARE(control(*dialog, name)->geometry(), place);
            QCOMPARE(dialog->childAt(place.center())->objectName(), QLatin1String(name));
        }
        QVERIFY(dialog->width() >= widgets::twipsToPixels(2340));
        QPointer<Form2> guard(dialog);
        QTest::mouseClick(dialog->childAt(places[3].second.center()), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));
        QVERIFY(!QFileInfo::exists(game().file(".lev")));
    }

    void cancelCreatesNothingAndTheNextOpeningStartsEmpty() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QTest::keyClicks(control(*dialog, "Text1"), QStringLiteral("never"));
        // "add file" while open shows the same window with the typed name.
        QCOMPARE(openForm2(w()), dialog);
        QCOMPARE(control<QLineEdit>(*dialog, "Text1")->text(), QStringLiteral("never"));
        QPointer<Form2> guard(dialog);
        click(*dialog, "Command2");
        QVERIFY(QTest::qWaitFor([&] { return guard.isNull(); }));
        QCOMPARE(QDir(game().path()).entryList({"*.lev"}, QDir::Files | QDir::Hidden).size(), 0);
        Form2* again = openForm2(w());
        QCOMPARE(control<QLineEdit>(*again, "Text1")->text(), QString());
        again->close();
    }

    void newFileGoesWhereTheDirectoryListIsAtOk() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        control<DirectoryList>(w(), "Dir1")->setPath(game().levels());
        QTest::keyClicks(control(*dialog, "Text1"), QStringLiteral("moved"));
        click(*dialog, "Command1");
        QVERIFY(QFileInfo::exists(game().file("levels/moved.lev")));
        QVERIFY(!QFileInfo::exists(game().file("moved.lev")));
        QVERIFY(
            !control<FileList>(w(), "File1")->findItems("moved.lev", Qt::MatchExactly).isEmpty());
    }

    void aNameWithAFolderSeparatorIsRefused() {
        QVERIFY(m_editor.open());
        Form2* dialog = openForm2(w());
        QTest::keyClicks(control(*dialog, "Text1"), QStringLiteral("levels/sneaky"));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(*dialog, "Command1");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(!QFileInfo::exists(game().file("levels/sneaky.lev")));
        QVERIFY(dialog->isVisible()); // the user can correct the name
        dialog->close();
    }

    void deleteAsksAndDeletesOnYes() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("a.lev"), "row\r\n"));
            QVERIFY(writeBytes(game.file("b.lev"), ""));
        }));
        QVERIFY(w().level().addLine("loaded row"));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(w(), "del");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("a.lev"));
        QCOMPARE(answerer.seen()[0].text, QStringLiteral("wirklich loeschen ?"));
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Question);
        QVERIFY(!QFileInfo::exists(game().file("a.lev")));
        auto* files = control<FileList>(w(), "File1");
        QCOMPARE(files->count(), 1);
        QCOMPARE(files->item(0)->text(), QStringLiteral("b.lev"));
        QCOMPARE(rows(w()), std::vector<std::string>{"loaded row"});
    }

    void deleteAnsweredNoKeepsTheFileButRefreshes() {
        QVERIFY(m_editor.open(
            [](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "row\r\n")); }));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        QVERIFY(writeBytes(game().file("c.lev"), "")); // made by another program meanwhile
        ModalAnswerer answerer;
        answerer.press(QMessageBox::No);
        click(w(), "del");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(readBytes(game().file("a.lev")), QByteArray("row\r\n"));
        QCOMPARE(control<FileList>(w(), "File1")->count(), 2);
    }

    void deleteOfAVanishedFileIsReported() {
        QVERIFY(
            m_editor.open([](GameFolder& game) { QVERIFY(writeBytes(game.file("a.lev"), "")); }));
        QVERIFY(selectLevelFile(w(), QStringLiteral("a.lev")));
        QVERIFY(QFile::remove(game().file("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes).press(QMessageBox::Ok);
        click(w(), "del");
        QCOMPARE(answerer.count(), 2);
        QCOMPARE(answerer.seen()[1].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[1].text.contains(game().shownFile("a.lev")));
        // Nothing after the failing step: the file list is not read again.
        QCOMPARE(control<FileList>(w(), "File1")->count(), 1);
    }

private:
    Form1& w() {
        return *m_editor.window;
    }
    GameFolder& game() {
        return *m_editor.game;
    }

    EditorWindow m_editor;

    static Form2* openForm2(Form1& w) {
        click(w, "add");
        auto windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            if (auto* dialog = qobject_cast<Form2*>(window); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }
};

LEVELTOOLS_TEST_MAIN(TestFileBrowser)
#include "test_filebrowser.moc"
