// The level's history through the window: each command done, undone and redone, the clean state
// across a save, editing a row in place, and the history's bounds.

#include "editor/document/leveldocument.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "editor/levelmap/levelmapwindow.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using Rows = std::vector<std::string>;

namespace {

const Rows five{"a", "b", "c", "d", "e"};
const std::string ship = "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1";

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:

    void init() {
        QVERIFY(m_editor.open([](GameFolder& game) {
            QVERIFY(writeBytes(game.file("two.lev"), "ADD BASE  x=1 y=2 file=b.bs\r\n[end]\r\n"));
        }));
    }
    void cleanup() { m_editor.close(); }

    // Five rows, row 2 selected; one operation; then Ctrl+Z and a redo by either key.
    void everyCommandIsUndoneAndRedone_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<int>("selectedUndone");
        QTest::addColumn<bool>("redoWithY");
        const QStringList all{"a", "b", "c", "d", "e"};
        QTest::newRow("ADD SHIP") << "s1"
                                  << "add ship" << (all + QStringList{QString::fromStdString(ship)})
                                  << 2 << 2 << false;
        QTest::newRow("freizeile") << "Command2"
                                   << "add empty row" << (all + QStringList{""}) << 2 << 2 << true;
        QTest::newRow("del line") << "Command1"
                                  << "delete row 3" << QStringList{"a", "b", "d", "e"} << 2 << 2
                                  << false;
        QTest::newRow("Backspace")
            << "Backspace"
            << "delete row 3" << QStringList{"a", "b", "d", "e"} << -1 << 2 << true;
        QTest::newRow("up") << "up"
                            << "move row 3 up" << QStringList{"a", "c", "b", "d", "e"} << 1 << 2
                            << false;
        QTest::newRow("down") << "down"
                              << "move row 3 down" << QStringList{"a", "b", "d", "c", "e"} << 3 << 2
                              << true;
        QTest::newRow("clear") << "clear"
                               << "clear 5 rows" << QStringList{} << -1 << -1 << false;
        QTest::newRow("load") << "load"
                              << "load two.lev"
                              << QStringList{"ADD BASE  x=1 y=2 file=b.bs", "[end]"} << -1 << -1
                              << true;
    }
    void everyCommandIsUndoneAndRedone() {
        QFETCH(QString, operation);
        QFETCH(QString, step);
        QFETCH(QStringList, after);
        QFETCH(int, selectedAfter);
        QFETCH(int, selectedUndone);
        QFETCH(bool, redoWithY);
        fill(five);
        if (operation == QLatin1String("load"))
            QVERIFY(selectLevelFile(w(), QStringLiteral("two.lev")));
        select(2);

        ModalAnswerer answerer;
        if (operation == QLatin1String("load"))
            answerer.press(QMessageBox::Yes);
        if (operation == QLatin1String("Backspace"))
            QTest::keyClick(list(), Qt::Key_Backspace);
        else
            click(w(), operation.toLatin1().constData());
        showAndActivate(w()); // again, after the question
        const QString caption = w().windowTitle();
        const Rows done = toRows(after);
        QCOMPARE(rows(w()), done);
        QCOMPARE(selectedRow(w()), selectedAfter);
        QCOMPARE(menuEntry("undo")->text(), QStringLiteral("Undo ") + step);

        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), five);
        QCOMPARE(selectedRow(w()), selectedUndone);
        QCOMPARE(viewSelection(), selectedUndone);
        QCOMPARE(w().windowTitle(), caption); // "del line" set it; undo keeps it
        QCOMPARE(menuEntry("redo")->text(), QStringLiteral("Redo ") + step);

        if (redoWithY)
            QTest::keyClick(list(), Qt::Key_Y, Qt::ControlModifier);
        else
            QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rows(w()), done);
        QCOMPARE(selectedRow(w()), selectedAfter);
        QCOMPARE(viewSelection(), selectedAfter);
        QCOMPARE(w().windowTitle(), caption);
    }

    // Undoing a clear and a load gives back every row byte for byte: long ones, empty ones,
    // characters beyond ASCII.
    void clearAndLoadComeBackByteForByte() {
        const Rows odd{std::string(5000, 'w') + "\xc3\xa9", "", " ", "ADD SHIP x=-1",
                       "\xe2\x82\xac"};
        fill(odd);
        click(w(), "clear");
        QVERIFY(rows(w()).empty());
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), odd);

        QVERIFY(selectLevelFile(w(), QStringLiteral("two.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(w(), "load");
        showAndActivate(w());
        QCOMPARE(rows(w()).size(), std::size_t{2});
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), odd);
    }

    // Undoing past a save and redoing back to it is the saved state again; the mark beside the
    // version text and its tool tip tell, the window's title never.
    void theSavedStateIsFoundAgainAcrossUndoAndRedo() {
        auto* label = control<QLabel>(w(), "Label2");
        const QString version = label->text();
        const QString title = w().windowTitle();
        click(w(), "s1");
        QVERIFY(w().level().isModified());
        QCOMPARE(label->text(), version + QStringLiteral(" *"));
        QCOMPARE(label->toolTip(), QStringLiteral("unsaved changes"));

        QVERIFY(selectLevelFile(w(), QStringLiteral("two.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        click(w(), "save");
        showAndActivate(w());
        QCOMPARE(label->text(), version);
        QCOMPARE(label->toolTip(), QStringLiteral("no unsaved changes"));

        click(w(), "Command2");
        QVERIFY(w().level().isModified());
        const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
            QTest::keyClick(list(), k, m);
            return w().level().isModified();
        };
        QVERIFY(!key(Qt::Key_Z)); // back at the save
        QVERIFY(key(Qt::Key_Z));  // before it
        QVERIFY(!key(Qt::Key_Y)); // at the save again
        QVERIFY(key(Qt::Key_Y));
        QCOMPARE(label->text(), version + QStringLiteral(" *"));
        QCOMPARE(w().windowTitle(), title);
    }

    // F2 opens the row's whole text, also beyond the shown 4,000 characters; Backspace edits it;
    // Enter makes it one step, the row keeping its index.
    void aRowIsEditedInPlaceAndTheEditUndone() {
        const std::string longRow = std::string(4500, 'x') + "END";
        fill({"a", longRow, "c"});
        select(1);
        QTest::keyClick(list(), Qt::Key_F2);
        QTRY_VERIFY(editorOpen());
        QLineEdit* editor = list()->rowEditor();
        QCOMPARE(editor->text(), QString::fromStdString(longRow));
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, QStringLiteral("ND!"));
        QCOMPARE(rows(w()).size(), std::size_t{3}); // Backspace edited the text, not the level
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!list()->rowEditor());
        const std::string edited = std::string(4500, 'x') + "END!";
        QCOMPARE(rows(w()), (Rows{"a", edited, "c"}));
        QCOMPARE(selectedRow(w()), 1);
        QCOMPARE(menuEntry("undo")->text(), QStringLiteral("Undo edit row 2"));

        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), (Rows{"a", longRow, "c"}));
        QCOMPARE(selectedRow(w()), 1);
    }

    void escapeAndAnUnchangedTextMakeNoStep() {
        fill({"a", "b"});
        const int steps = w().level().history().count();
        const QPoint place = list()->visualRect(list()->model()->index(0, 0)).center();
        doubleClick(list()->viewport(), place);
        QTRY_VERIFY(editorOpen());
        QLineEdit* editor = list()->rowEditor();
        QTest::keyClicks(editor, QStringLiteral("zzz"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!list()->rowEditor());
        QCOMPARE(rows(w()), (Rows{"a", "b"}));

        select(1);
        QTest::keyClick(list(), Qt::Key_F2);
        QTRY_VERIFY(editorOpen());
        editor = list()->rowEditor();
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!list()->rowEditor());
        QCOMPARE(w().level().history().count(), steps);
    }

    // A character that a level file cannot store is refused with the save's reason, on Enter and
    // on leaving the editor; it stays open with the text, and the row is unchanged.
    void anUnstorableCharacterIsRefusedAndTheEditorStays() {
        fill({"a", "b", "c"});
        select(2);
        QTest::keyClick(list(), Qt::Key_F2);
        QTRY_VERIFY(editorOpen());
        QLineEdit* editor = list()->rowEditor();
        editor->setText(QStringLiteral("team \u03a9"));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QCOMPARE(
            answerer.seen()[0].text,
            QStringLiteral("row 3 holds \"\u03a9\" (U+03A9), which a level file cannot store"));
        QCOMPARE(list()->rowEditor(), editor);
        QCOMPARE(editor->text(), QStringLiteral("team \u03a9"));
        QCOMPARE(rows(w()), (Rows{"a", "b", "c"}));
        // Leaving the box for another control says the same and keeps it open with the text.
        showAndActivate(w()); // again, after the message
        QTRY_VERIFY(editor->hasFocus());
        answerer.press(QMessageBox::Ok);
        control(w(), "s3")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(answerer.count(), 2);
        QCOMPARE(answerer.seen()[1].text, answerer.seen()[0].text);
        QCOMPARE(list()->rowEditor(), editor);
        QCOMPARE(editor->text(), QStringLiteral("team \u03a9"));
        showAndActivate(w());
        QTRY_VERIFY(editor->hasFocus());
        QCOMPARE(rows(w()), (Rows{"a", "b", "c"}));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!list()->rowEditor());
    }

    // The menu names the steps, offers the clipboard, greys what there is none of, and edits the
    // row under the mouse.
    void theRightClickMenuOffersUndoRedoAndEditRow() {
        fill({"a", "b"});
        auto entries = [this](int row) {
            const QPoint place = list()->visualRect(list()->model()->index(row, 0)).center();
            return list()->makeContextMenu(place);
        };
        auto menu = entries(1);
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"Undo add row", "Redo", "", "Cut", "Copy", "Paste",
                                     "Duplicate", "", "Edit row"}));
        QCOMPARE(menu->font(), w().font()); // the window's layout font, not the desktop's
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Undo add row"));
        QVERIFY(menu->actions()[0]->isEnabled());
        QCOMPARE(menu->actions()[1]->text(), QStringLiteral("Redo"));
        QVERIFY(!menu->actions()[1]->isEnabled());
        menu->actions()[0]->trigger();
        QCOMPARE(rows(w()), (Rows{"a"}));
        QVERIFY(menu->actions()[1]->isEnabled());

        menu = entries(0);
        QAction* edit = menu->actions().last();
        QCOMPARE(edit->text(), QStringLiteral("Edit row"));
        edit->trigger();
        QTRY_VERIFY(editorOpen());
        QLineEdit* editor = list()->rowEditor();
        QCOMPARE(editor->text(), QStringLiteral("a"));
        QCOMPARE(selectedRow(w()), 0);
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    // A text box undoes its own typing; the level's history is not touched from there.
    void aTextBoxKeepsItsOwnUndo() {
        click(w(), "s1");
        auto* x = control<QLineEdit>(w(), "s3");
        x->setFocus();
        QTest::keyClick(x, Qt::Key_End);
        QTest::keyClicks(x, QStringLiteral("5"));
        QCOMPARE(x->text(), QStringLiteral("05"));
        QTest::keyClick(x, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(x->text(), QStringLiteral("0"));
        QTest::keyClick(x, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(x->text(), QStringLiteral("05"));
        QCOMPARE(rows(w()), (Rows{ship}));
    }

    // The map shows the document's one selection, and Ctrl+Z there undoes the level's step.
    void theMapSharesTheSelectionAndTheKeys() {
        fill({ship, "ADD SHIP x= 100 y= 100 r=0 team=2 typ=1"});
        click(w(), "mapButton");
        LevelMapWindow* map = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<LevelMapWindow*>(top))
                map = found;
        QVERIFY(map);
        QVERIFY(QTest::qWaitForWindowActive(map));
        select(1);
        QCOMPARE(map->scene()->highlightedRow(), 1);
        map->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(map));
        QTest::keyClick(map->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), (Rows{ship}));
        QCOMPARE(map->scene()->markerCount(), 1);
        map->close();
        showAndActivate(w());
    }

    // The oldest steps go when the row text passes the budget; the newest still undo, and the
    // saved state that went with the old steps is not claimed again.
    void theHistoryDropsItsOldestStepsFirst() {
        LevelDocument document;
        // 32 rows of 128 KiB: 4 MiB a step, 26 steps.
        const auto levelOf = [](char c) {
            level::LevelLineList lines;
            for (int i = 0; i < 32; ++i)
                if (!lines.AddLine(std::string(std::size_t{1} << 17, c)))
                    qFatal("no room for a row");
            return lines;
        };
        document.replaceLines(levelOf('a'));
        document.markSaved();
        for (char c = 'b'; c <= 'z'; ++c)
            document.replaceLines(levelOf(c));
        QVERIFY(document.history().bytes() <= History::ByteBudget);
        const int kept = document.history().count();
        QVERIFY(kept > 1 && kept < 26);
        QVERIFY(document.isModified());

        for (int i = 0; i < kept; ++i) {
            const char expected = static_cast<char>('z' - i);
            QCOMPARE(document.lines().LineAt(0)[0], expected);
            document.undo();
        }
        QVERIFY(!document.history().canUndo());
        QCOMPARE(document.lines().LineAt(31)[0], static_cast<char>('z' - kept));
        QVERIFY(document.isModified());
        while (document.history().canRedo())
            document.redo();
        QCOMPARE(document.lines().LineAt(0)[0], 'z');

        // By number: the last StepLimit steps stay.
        LevelDocument many;
        for (int i = 0; i <= History::StepLimit; ++i)
            QVERIFY(many.addLine(std::to_string(i)));
        QCOMPARE(many.history().count(), History::StepLimit);
        while (many.undo()) {
        }
        QCOMPARE(many.lines().Lines(), Rows{"0"});
    }

private:
    Form1& w() { return *m_editor.window; }
    ContentList* list() { return control<ContentList>(w(), "inhalt"); }
    QAction* menuEntry(const char* name) { return control<QAction>(w(), name); }

    void fill(const Rows& texts) { addRows(w(), texts); }
    void select(int row) { selectRowByClick(w(), row); }
    bool editorOpen() { return list()->rowEditor() && list()->rowEditor()->hasFocus(); }
    int viewSelection() {
        const auto selected = list()->selectionModel()->selectedRows();
        return selected.isEmpty() ? -1 : selected.first().row();
    }
    static Rows toRows(const QStringList& texts) {
        Rows out;
        for (const QString& t : texts)
            out.push_back(t.toStdString());
        return out;
    }

    EditorWindow m_editor;
};

LEVELTOOLS_TEST_MAIN(TestHistory)
#include "test_history.moc"
