// The content list and its buttons: del line, freizeile, up, down, clear and Backspace.

#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTabBar>

using Rows = std::vector<std::string>;
using Indices = std::vector<editor::LevelDocument::Index>;

class TestContentList : public QObject {
    Q_OBJECT

private slots:

    void init() { m_editor.open(); }
    void cleanup() { m_editor.close(); }

    void delLineSelectsTheFollowingRowAndShowsItsIndex() {
        fill({"a", "b", "c", "d", "e"});
        select(2);
        click(w(), "Command1");
        QCOMPARE(rows(w()), (Rows{"a", "b", "d", "e"}));
        QCOMPARE(selectedRow(w()), 2);
        QCOMPARE(viewSelection(), 2);
        QCOMPARE(w().windowTitle(), QStringLiteral("2"));
    }

    void delLineOnTheLastRowSelectsTheNewLastRow() {
        fill({"a", "b", "c", "d", "e"});
        select(4);
        click(w(), "Command1");
        QCOMPARE(rows(w()), (Rows{"a", "b", "c", "d"}));
        QCOMPARE(selectedRow(w()), 3);
        QCOMPARE(viewSelection(), 3);
        QCOMPARE(w().windowTitle(), QStringLiteral("3"));
    }

    void delLineOnTheOnlyRowLeavesNothingAndShowsMinusOne() {
        fill({"only"});
        select(0);
        click(w(), "Command1");
        QVERIFY(rows(w()).empty());
        QCOMPARE(selectedRow(w()), -1);
        QCOMPARE(w().windowTitle(), QStringLiteral("-1"));
    }

    void delLineWithoutSelectionChangesNothing() {
        fill({"a", "b"});
        const QString caption = w().windowTitle();
        click(w(), "Command1");
        QCOMPARE(rows(w()), (Rows{"a", "b"}));
        QCOMPARE(w().windowTitle(), caption);
    }

    void repeatedDelLineWalksDownTheList() {
        fill({"a", "b", "c"});
        select(0);
        click(w(), "Command1");
        click(w(), "Command1");
        QCOMPARE(rows(w()), (Rows{"c"}));
        QCOMPARE(selectedRow(w()), 0);
        click(w(), "Command1");
        QCOMPARE(w().windowTitle(), QStringLiteral("-1"));
    }

    void upAndDownCarryTheSelectedRow() {
        fill({"a", "b", "c", "d"});
        select(2);
        click(w(), "up");
        QCOMPARE(rows(w()), (Rows{"a", "c", "b", "d"}));
        QCOMPARE(selectedRow(w()), 1);
        QCOMPARE(viewSelection(), 1);
        click(w(), "up");
        click(w(), "up"); // at the top: nothing more
        QCOMPARE(rows(w()), (Rows{"c", "a", "b", "d"}));
        QCOMPARE(selectedRow(w()), 0);
        click(w(), "down");
        click(w(), "down");
        click(w(), "down");
        click(w(), "down"); // at the bottom: nothing more
        QCOMPARE(rows(w()), (Rows{"a", "b", "d", "c"}));
        QCOMPARE(selectedRow(w()), 3);
        QCOMPARE(viewSelection(), 3);
    }

    void upAndDownWithoutSelectionDoNothing() {
        fill({"a", "b"});
        click(w(), "up");
        click(w(), "down");
        QCOMPARE(rows(w()), (Rows{"a", "b"}));
        QCOMPARE(selectedRow(w()), -1);
    }

    void freizeileAppendsAnEmptyRowAndKeepsTheSelection() {
        fill({"a", "b", "c"});
        select(0);
        click(w(), "Command2");
        QCOMPARE(rows(w()), (Rows{"a", "b", "c", ""}));
        QCOMPARE(selectedRow(w()), 0);
        QCOMPARE(viewSelection(), 0);
    }

    void clearEmptiesWithoutAsking() {
        fill({"a", "b"});
        select(1);
        ModalAnswerer answerer;
        click(w(), "clear");
        QCOMPARE(answerer.count(), 0);
        QVERIFY(rows(w()).empty());
        QCOMPARE(selectedRow(w()), -1);
        click(w(), "clear");
        QVERIFY(rows(w()).empty());
    }

    void backspaceRemovesTheSelectedRowAndDeselects_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first") << 0 << QStringList{"b", "c", "d"};
        QTest::newRow("middle") << 2 << QStringList{"a", "b", "d"};
        QTest::newRow("last") << 3 << QStringList{"a", "b", "c"};
    }
    void backspaceRemovesTheSelectedRowAndDeselects() {
        QFETCH(int, row);
        QFETCH(QStringList, left);
        fill({"a", "b", "c", "d"});
        select(row);
        const QString caption = w().windowTitle();
        QTest::keyClick(list(), Qt::Key_Backspace);
        QCOMPARE(shownRows(), left);
        QCOMPARE(selectedRow(w()), -1);
        QCOMPARE(viewSelection(), -1);
        QCOMPARE(w().windowTitle(), caption);
        // Nothing selected now: a second Backspace removes nothing.
        QTest::keyClick(list(), Qt::Key_Backspace);
        QCOMPARE(shownRows(), left);
    }

    void otherKeysRemoveNothing() {
        fill({"a", "b"});
        select(1);
        QTest::keyClick(list(), Qt::Key_X);
        QTest::keyClick(list(), Qt::Key_Insert);
        QCOMPARE(rows(w()).size(), std::size_t{2});
    }

    void keyboardAndMouseSelectionReachTheLevel() {
        fill({"a", "b", "c"});
        select(0);
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(selectedRow(w()), 1);
        clickRow(list(), 2);
        QCOMPARE(selectedRow(w()), 2);
    }

    void addedAndMovedRowsComeIntoView() {
        Rows many;
        for (int i = 0; i < 300; ++i)
            many.push_back("row " + std::to_string(i));
        fill(many);
        const auto shown = [this](int row) {
            return list()->viewport()->rect().contains(
                list()->visualRect(list()->model()->index(row, 0)));
        };

        select(0);
        click(w(), "Command2");
        QVERIFY2(shown(300), "the appended row is scrolled into view");

        select(299);
        list()->scrollToTop();
        click(w(), "up");
        QCOMPARE(selectedRow(w()), 298);
        QVERIFY2(shown(298), "the row moved up is scrolled into view");

        select(1);
        list()->scrollToBottom();
        click(w(), "down");
        QCOMPARE(selectedRow(w()), 2);
        QVERIFY2(shown(2), "the row moved down is scrolled into view");
    }

    void fullLevelRefusesAnotherRowWithAMessage() {
        level::LevelLineList full;
        for (int i = 0; i < level::LevelLineList::MaxRows; ++i)
            QVERIFY(full.AddLine("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"));
        w().level().replaceLines(std::move(full));
        select(level::LevelLineList::MaxRows - 1);

        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w(), "Command2");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("32767")));
        QVERIFY(answerer.seen()[0].text.endsWith(QStringLiteral(":\n(an empty line)")));
        QCOMPARE(w().lines().LineCount(), level::LevelLineList::MaxRows);
        QCOMPARE(selectedRow(w()), level::LevelLineList::MaxRows - 1);

        // The last row is still reachable and movable.
        click(w(), "up");
        QCOMPARE(selectedRow(w()), level::LevelLineList::MaxRows - 2);
        click(w(), "Command1");
        QCOMPARE(w().windowTitle(), QStringLiteral("32765"));
    }

    void panelLinesLandAtTheEndWhateverIsSelected() {
        fill({"a", "b", "c"});
        select(1);
        click(w(), "s1");
        QTabBar* strip = control<QTabBar>(w(), "TabStrip1");
        strip->setCurrentIndex(3); // "USE SHP"
        click(w(), "us1");
        click(w(), "us3");
        strip->setCurrentIndex(2); // "WIN"
        click(w(), "wf1");
        QTest::keyClicks(control(w(), "wf4"), QStringLiteral("conquest.win"));
        click(w(), "wf2");
        click(w(), "wf3");
        QCOMPARE(rows(w()), (Rows{"a", "b", "c", "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1",
                                  "[shipfiles]", "[end]", "[winfile]", "conquest.win", "[end]"}));
        QCOMPARE(selectedRow(w()), 1);
        QCOMPARE(viewSelection(), 1);
    }

    void aFullLevelRefusesPanelLinesToo() {
        level::LevelLineList full;
        for (int i = 0; i < level::LevelLineList::MaxRows; ++i)
            QVERIFY(full.AddLine("r"));
        w().level().replaceLines(std::move(full));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ok);
        click(w(), "s1");
        QCOMPARE(answerer.count(), 1);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("ADD SHIP x= 0 y= 0")));
        QCOMPARE(w().lines().LineCount(), level::LevelLineList::MaxRows);
        QCOMPARE(w().lines().LineAt(level::LevelLineList::MaxRows - 1), "r");
    }

    // The widest row sets how far the list scrolls sideways, wherever it stands; a row that does
    // not show whole shows as tool tip.
    void longRowsScrollSidewaysAndShowAsToolTips() {
        const std::string wide = "ADD BASE  x=0 y=0 file=" + std::string(150, 'w') + ".bs";
        fill({wide, "short", "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"});
        QTRY_VERIFY(list()->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(toolTipOfRow(list(), 0), QString::fromStdString(wide));
        QCOMPARE(toolTipOfRow(list(), 1), QString());

        select(1);
        QTest::keyClick(list(), Qt::Key_Right);
        QVERIFY(list()->horizontalScrollBar()->value() > 0);
        QCOMPARE(selectedRow(w()), 1);
        list()->horizontalScrollBar()->setValue(list()->horizontalScrollBar()->maximum());
        const QRect place = list()->visualRect(list()->model()->index(0, 0));
        QVERIFY(place.left() +
                    list()->fontMetrics().horizontalAdvance(QString::fromStdString(wide)) <=
                list()->viewport()->width());
        // Scrolled to its end, the short row shows whole no more.
        QCOMPARE(toolTipOfRow(list(), 1), QStringLiteral("short"));
    }

    // Shift+click and Shift+Down extend the chosen rows, Ctrl+click adds and takes one away, the
    // current row is the last one clicked; "up" moves them as blocks and "del line" removes them
    // all, each as one step; the list shows what the document chose.
    void severalRowsAreChosenAndMovedTogether() {
        fill({"a", "b", "c", "d", "e", "f"});
        select(1);
        clickWith(3, Qt::ShiftModifier);
        QCOMPARE(chosen(), (Indices{1, 2, 3}));
        QCOMPARE(selectedRow(w()), 3);
        clickWith(5, Qt::ControlModifier);
        clickWith(2, Qt::ControlModifier);
        QCOMPARE(chosen(), (Indices{1, 3, 5}));
        QCOMPARE(selectedRow(w()), 5);
        QCOMPARE(list()->selectionModel()->selectedRows().size(), 3);

        click(w(), "up");
        QCOMPARE(rows(w()), (Rows{"b", "a", "d", "c", "f", "e"}));
        QCOMPARE(chosen(), (Indices{0, 2, 4}));
        QCOMPARE(selectedRow(w()), 4);
        click(w(), "Command1"); // del line
        QCOMPARE(rows(w()), (Rows{"a", "c", "e"}));
        QCOMPARE(w().windowTitle(), QStringLiteral("0"));
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(w()), (Rows{"b", "a", "d", "c", "f", "e"}));

        select(0);
        QTest::keyClick(list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(chosen(), (Indices{0, 1, 2}));
        QCOMPARE(selectedRow(w()), 2);
        QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(chosen().size(), std::size_t{6});
    }

    // Ctrl+F opens the find field: typing chooses the next row holding the text (A to Z in either
    // case), F3 and Shift+F3 go on either way round the end, "not found" shows in the field, and
    // Escape closes it.
    void theFindFieldChoosesRowsAsYouType() {
        fill({"[winfile]", "ADD BASE  x=1 y=2 file=base2.bs", "[end]",
              "ADD BASE  x=3 y=4 file=Base2.bs"});
        select(0);
        QTest::keyClick(list(), Qt::Key_F, Qt::ControlModifier);
        auto* field = control<QLineEdit>(w(), "findField");
        QTRY_VERIFY(field->isVisible() && field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("BASE2"));
        QCOMPARE(selectedRow(w()), 1);
        QTest::keyClick(field, Qt::Key_F3);
        QCOMPARE(selectedRow(w()), 3);
        QTest::keyClick(field, Qt::Key_F3);
        QCOMPARE(selectedRow(w()), 1);
        QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(selectedRow(w()), 3);
        QTest::keyClicks(field, QStringLiteral("x"));
        QCOMPARE(control<QLabel>(w(), "findStatus")->text(), QStringLiteral("not found"));
        QCOMPARE(selectedRow(w()), 3);
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!field->isVisible());
        QTRY_VERIFY(list()->hasFocus());
    }

private:
    Form1& w() { return *m_editor.window; }
    ContentList* list() { return control<ContentList>(w(), "inhalt"); }

    void fill(const Rows& texts) { addRows(w(), texts); }
    void select(int row) { selectRowByClick(w(), row); }
    // The rows as the list shows them.
    QStringList shownRows() {
        QStringList texts;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            texts << list()->model()->index(i, 0).data().toString();
        return texts;
    }
    const std::vector<LevelDocument::Index>& chosen() { return w().level().selection().rows(); }
    void clickWith(int row, Qt::KeyboardModifiers modifiers) {
        const QModelIndex index = list()->model()->index(row, 0);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                          list()->visualRect(index).center());
    }
    int viewSelection() {
        const auto selected = list()->selectionModel()->selectedRows();
        return selected.isEmpty() ? -1 : selected.first().row();
    }

    EditorWindow m_editor;
};

LEVELTOOLS_TEST_MAIN(TestContentList)
#include "test_contentlist.moc"
