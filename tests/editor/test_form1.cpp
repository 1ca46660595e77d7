// The editor's main window at start, its tab strip, and what it offers the keyboard and screen
// readers.

#include "editor/directorylist.h"
#include "editor/form2.h"
#include "tests/common/e2elayout.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"
#include "widgets/qtpath.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>

#include <map>

class TestForm1 : public QObject {
    Q_OBJECT

private slots:

    void cleanup() { m_editor.close(); }

    // The program starts in the working folder in the system's own form ("C:\\Games\\Space\\"):
    // the title shows it so, and the browser and the levels folder are found from it.
    void theWindowsStartFolderKeepsItsOneBackslash() {
#ifndef Q_OS_WIN
        QSKIP("Windows only: the start folder in the form C:\\…\\");
#else
        GameFolder game;
        QVERIFY(writeBytes(game.file("a.lev"), "x\r\n"));
        const QString start = widgets::toQString(game.coreStartFolder());
        QVERIFY(start.endsWith(QLatin1Char('\\')) && !start.endsWith(QStringLiteral("\\\\")));
        Form1 window(start);
        showAndActivate(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Level Editor / ") + start);
        QCOMPARE(control<DirectoryList>(window, "Dir1")->path(), game.path());
        QVERIFY(selectLevelFile(window, QStringLiteral("a.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(window, "load");
        QCOMPARE(rows(window), std::vector<std::string>{"x"});
#endif
    }

    void startsWithCaptionSizeAndShipPanel() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("a.lev"), "x\r\n"));
            QVERIFY(writeBytes(game.file("b.lev"), ""));
            QVERIFY(writeBytes(game.file("notes.txt"), ""));
        }));

        QCOMPARE(w().windowTitle(), QStringLiteral("Level Editor / ") + game().startFolder());
        QCOMPARE(w().size(), QSize(551, 374));
        QCOMPARE(w().minimumSize(), w().maximumSize()); // not resizable

        QVERIFY(rows(w()).empty());
        QCOMPARE(selectedRow(w()), -1);

        auto* files = control<FileList>(w(), "File1");
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(0)->text(), QStringLiteral("a.lev"));
        QCOMPARE(files->item(1)->text(), QStringLiteral("b.lev"));
        QCOMPARE(files->listIndex(), -1);

        auto* strip = control<QTabBar>(w(), "TabStrip1");
        QCOMPARE(strip->count(), 4);
        QCOMPARE(strip->tabText(0), QStringLiteral("SHIP"));
        QCOMPARE(strip->tabText(1), QStringLiteral("BASE"));
        QCOMPARE(strip->tabText(2), QStringLiteral("WIN"));
        QCOMPARE(strip->tabText(3), QStringLiteral("USE SHP"));
        QCOMPARE(strip->currentIndex(), 0);
        QCOMPARE(visiblePanels(w()), QStringList{QStringLiteral("ship")});
        QCOMPARE(QApplication::focusWidget(), strip);

        QVERIFY(control<QLabel>(w(), "Label2")->text().startsWith(QStringLiteral("tessavor ")));
    }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<QString>("caption");
        // Twips / 15, rounded.
        QTest::newRow("Drive1") << QString("Drive1") << QRect(8, 8, 177, 21) << QString("");
        QTest::newRow("Dir1") << QString("Dir1") << QRect(8, 34, 177, 96) << QString("");
        QTest::newRow("File1") << QString("File1") << QRect(192, 8, 137, 123) << QString("");
        QTest::newRow("load") << QString("load") << QRect(336, 24, 57, 17) << QString("load");
        QTest::newRow("add") << QString("add") << QRect(336, 48, 57, 17) << QString("add file");
        QTest::newRow("del") << QString("del") << QRect(336, 72, 57, 17) << QString("delete file");
        QTest::newRow("save") << QString("save") << QRect(336, 96, 57, 17) << QString("save");
        QTest::newRow("Command3") << QString("Command3") << QRect(432, 24, 97, 25)
                                  << QString("Ship Editor");
        QTest::newRow("Command4") << QString("Command4") << QRect(432, 56, 97, 25)
                                  << QString("Win Editor");
        QTest::newRow("Command5") << QString("Command5") << QRect(432, 88, 97, 25)
                                  << QString("Base Editor");
        QTest::newRow("inhalt") << QString("inhalt") << QRect(8, 136, 321, 186) << QString("");
        QTest::newRow("TabStrip1")
            << QString("TabStrip1") << QRect(344, 144, 193, 173) << QString("");
        QTest::newRow("up") << QString("up") << QRect(8, 328, 41, 17) << QString("up");
        QTest::newRow("down") << QString("down") << QRect(56, 328, 41, 17) << QString("down");
        QTest::newRow("Command2") << QString("Command2") << QRect(128, 328, 49, 17)
                                  << QString("freizeile");
        QTest::newRow("Command1") << QString("Command1") << QRect(184, 328, 49, 17)
                                  << QString("del line");
        QTest::newRow("clear") << QString("clear") << QRect(264, 328, 57, 17) << QString("clear");
        QTest::newRow("Label2") << QString("Label2") << QRect(344, 328, 193, 17) << QString("");
        // The four panels lie on the tab strip's page: 5260, 2560 twips.
        QTest::newRow("ship") << QString("ship") << QRect(351, 171, 177, 140) << QString("");
        QTest::newRow("base") << QString("base") << QRect(351, 171, 177, 137) << QString("");
        QTest::newRow("winfile") << QString("winfile") << QRect(351, 171, 177, 137) << QString("");
        QTest::newRow("useship") << QString("useship") << QRect(351, 171, 177, 137) << QString("");
    }

    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(QString, caption);
        QVERIFY(m_editor.open());
        auto* c = w().findChild<QWidget*>(name);
        QVERIFY(c);
        QCOMPARE(c->parentWidget(), &w());
        QCOMPARE(c->geometry(), pixels);
        if (auto* button = qobject_cast<QAbstractButton*>(c))
            QCOMPARE(button->text(), caption);
    }

    // The end-to-end tests click the controls where they are.
    void endToEndTestsKnowTheControlsPlaces() {
        QVERIFY(m_editor.open());
        const QStringList wrong = e2eLayoutMismatches(w(), QStringLiteral("editor"));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void focusOrderFollowsTheTable() {
        QVERIFY(m_editor.open());
        // Tab from the strip: File1, Drive1, Dir1, load, save, inhalt, add, del, up, down.
        QStringList order;
        QWidget* current = control(w(), "TabStrip1");
        for (int i = 0; i < 10; ++i) {
            current = current->nextInFocusChain();
            while (!(current->focusPolicy() & Qt::TabFocus) || !current->isVisible() ||
                   !current->isEnabled())
                current = current->nextInFocusChain();
            order << current->objectName();
        }
        QCOMPARE(order, (QStringList{"File1", "Drive1", "Dir1", "load", "save", "inhalt", "add",
                                     "del", "up", "down"}));
    }

    void tabClicksShowExactlyOnePanel() {
        QVERIFY(m_editor.open());
        auto* strip = control<QTabBar>(w(), "TabStrip1");
        const QList<QPair<int, QString>> steps{{1, "base"}, {2, "winfile"}, {3, "useship"},
                                               {0, "ship"}, {0, "ship"},    {3, "useship"}};
        for (const auto& [tab, panel] : steps) {
            QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->tabRect(tab).center());
            QCOMPARE(strip->currentIndex(), tab);
            QCOMPARE(visiblePanels(w()), QStringList{panel});
        }
    }

    void arrowKeysOnTheStripSwitchPanelsToo() {
        QVERIFY(m_editor.open());
        auto* strip = control<QTabBar>(w(), "TabStrip1");
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_Right);
        QCOMPARE(visiblePanels(w()), QStringList{QStringLiteral("base")});
        QTest::keyClick(strip, Qt::Key_Left);
        QCOMPARE(visiblePanels(w()), QStringList{QStringLiteral("ship")});
    }

    void switchingTabsKeepsListAndPanelValues() {
        QVERIFY(m_editor.open());
        click(w(), "Command2");
        auto* strip = control<QTabBar>(w(), "TabStrip1");
        auto* name = control<QLineEdit>(w(), "us4");
        strip->setCurrentIndex(3);
        name->setText(QStringLiteral("fighter.shp"));
        strip->setCurrentIndex(1);
        strip->setCurrentIndex(3);
        QCOMPARE(name->text(), QStringLiteral("fighter.shp"));
        QCOMPARE(rows(w()).size(), std::size_t{1});
    }

    // Tab from the strip reaches the scroll bars beside their boxes; the keys move them.
    void keyboardReachesAndMovesTheScrollBars() {
        QVERIFY(m_editor.open());
        QStringList chain;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            chain << QApplication::focusWidget()->objectName();
        } while (chain.last() != QStringLiteral("TabStrip1") && chain.size() < 100);
        for (const char* pair : {"s9 s10 so1 so5 so4 so7 so6"})
            QVERIFY2(chain.join(QLatin1Char(' ')).contains(QLatin1String(pair)),
                     qPrintable(chain.join(QLatin1Char(' '))));

        const auto press = [&](const char* bar, Qt::Key key, const char* box) {
            control(w(), bar)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), key);
            return control<QLineEdit>(w(), box)->text();
        };
        QCOMPARE(press("s10", Qt::Key_Down, "s9"), QStringLiteral("2"));
        QCOMPARE(press("s10", Qt::Key_Up, "s9"), QStringLiteral("1"));
        QCOMPARE(press("so5", Qt::Key_End, "so4"), QStringLiteral("99"));
        QCOMPARE(press("so5", Qt::Key_PageUp, "so4"), QStringLiteral("98"));
        QCOMPARE(press("so5", Qt::Key_Home, "so4"), QStringLiteral("1"));
        QCOMPARE(press("so7", Qt::Key_PageDown, "so6"), QStringLiteral("heavy"));
        QCOMPARE(press("so7", Qt::Key_Down, "so6"), QStringLiteral("medium"));
    }

    // Return and Enter press the focused button, and only it; no button is pressed from elsewhere.
    void enterPressesTheFocusedButtonOnly_data() {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<int>("rows");
        QTest::newRow("freizeile, Return") << "Command2" << int(Qt::Key_Return) << "Command2" << 3;
        QTest::newRow("clear, Enter") << "clear" << int(Qt::Key_Enter) << "clear" << 0;
        QTest::newRow("ADD SHIP, Enter") << "s1" << int(Qt::Key_Enter) << "s1" << 3;
        QTest::newRow("list, Return") << "inhalt" << int(Qt::Key_Return) << "" << 2;
    }
    void enterPressesTheFocusedButtonOnly() {
        QFETCH(QString, focused);
        QFETCH(int, key);
        QFETCH(QString, pressed);
        QFETCH(int, rows);
        QVERIFY(m_editor.open());
        QVERIFY(w().level().addLine("a"));
        QVERIFY(w().level().addLine("b"));
        clickRow(control<ContentList>(w(), "inhalt"), 0);
        std::map<QString, std::unique_ptr<QSignalSpy>> clicks;
        for (QPushButton* button : w().findChildren<QPushButton*>())
            clicks[button->objectName()] =
                std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked);

        QWidget* target = w().findChild<QWidget*>(focused);
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key(key));

        for (const auto& [name, spy] : clicks)
            QVERIFY2(spy->count() == (name == pressed ? 1 : 0), qPrintable(name));
        QCOMPARE(int(w().lines().LineCount()), rows);
    }

    // A theme that puts a keyboard accelerator into a caption puts none into a line.
    void linesDoNotFollowTheCaptions_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("line");
        QTest::newRow("ADD SHIP") << 0 << "s1"
                                  << "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1";
        QTest::newRow("ADD BASE") << 1 << "bs1"
                                  << "ADD BASE  x=0 y=0 file=b.bs";
        QTest::newRow("[winfile]") << 2 << "wf1"
                                   << "[winfile]";
        QTest::newRow("[end] of WIN") << 2 << "wf3"
                                      << "[end]";
        QTest::newRow("[shipfiles]") << 3 << "us1"
                                     << "[shipfiles]";
        QTest::newRow("[end] of USE SHP") << 3 << "us3"
                                          << "[end]";
    }
    void linesDoNotFollowTheCaptions() {
        QFETCH(int, tab);
        QFETCH(QString, button);
        QFETCH(QString, line);
        QVERIFY(m_editor.open());
        control<QTabBar>(w(), "TabStrip1")->setCurrentIndex(tab);
        control<QLineEdit>(w(), "bs7")->setText(QStringLiteral("b.bs"));
        auto* b = w().findChild<QAbstractButton*>(button);
        const QString caption = b->text();
        b->setText(QLatin1Char('&') + caption);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(rows(w()), std::vector<std::string>{line.toStdString()});
        QCOMPARE(b->text(), QLatin1Char('&') + caption);
    }

    // Every control that takes input has a name for screen readers, in the editor and in the
    // "add new file ?" window.
    void inputControlsHaveAccessibleNames() {
        QVERIFY(m_editor.open());
        Form2 form2([] { return std::string(); }, [] {});
        for (QWidget* window : {static_cast<QWidget*>(&w()), static_cast<QWidget*>(&form2)}) {
            int inputs = 0;
            for (QWidget* input : window->findChildren<QWidget*>()) {
                // The lists' own scroll bars and header and the drive list's pop-up belong to
                // those.
                if (!(qobject_cast<QLineEdit*>(input) || qobject_cast<QScrollBar*>(input) ||
                      qobject_cast<QAbstractItemView*>(input) || qobject_cast<QComboBox*>(input)) ||
                    input->window() != window ||
                    qobject_cast<QAbstractItemView*>(input->parentWidget()) ||
                    qobject_cast<QAbstractItemView*>(input->parentWidget()->parentWidget()))
                    continue;
                ++inputs;
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(input);
                QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                         qPrintable(input->objectName()));
            }
            QVERIFY(inputs >= 2);
        }
    }

    // At fractional scale factors (this test runs at 1.5 too) the lists' frames are drawn whole:
    // the bottom line shows in the frame's colour.
    void listFramesAreDrawnWhole() {
        QVERIFY(m_editor.open());
        for (const char* name : {"Dir1", "File1", "inhalt"}) {
            const QImage picture = w().grab(control(w(), name)->geometry()).toImage();
            const QRgb frame = picture.pixel(0, picture.height() / 2);
            bool bottomDrawn = false;
            for (int y = picture.height() - 3; y < picture.height(); ++y)
                bottomDrawn = bottomDrawn || picture.pixel(picture.width() / 2, y) == frame;
            QVERIFY2(bottomDrawn, name);
        }
    }

private:
    Form1& w() {
        return *m_editor.window;
    }
    GameFolder& game() {
        return *m_editor.game;
    }

    EditorWindow m_editor;

    static QStringList visiblePanels(Form1& w) {
        QStringList shown;
        for (const char* name : {"ship", "base", "winfile", "useship"})
            if (control(w, name)->isVisible())
                shown << QString::fromLatin1(name);
        return shown;
    }
};

LEVELTOOLS_TEST_MAIN(TestForm1)
#include "test_form1.moc"
