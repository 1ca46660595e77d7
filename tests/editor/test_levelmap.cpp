// The Level Map window: opened from the editor, drawing the level live, and selecting rows with
// the content list both ways; the findings of the level check below it.

#include "editor/levelmap/findingsmodel.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "editor/levelmap/levelmapwindow.h"
#include "editor/levelmap/markerlayer.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/editortest.h"

#include <QClipboard>
#include <QComboBox>
#include <QHelpEvent>
#include <QImage>
#include <QSet>
#include <QToolTip>
#include <QTreeView>

#include <cmath>
#include <optional>

using Rows = std::vector<std::string>;
using Places = QList<std::optional<QPointF>>;

Q_DECLARE_METATYPE(editor::MapMarker::Shape)

class TestLevelMap : public QObject {
    Q_OBJECT

private slots:

    void init() { m_editor.open(); }
    void cleanup() { m_editor.close(); }

    void mapButtonOpensOneWindowAndRaisesIt() {
        QCOMPARE(mapWindows().size(), 0);
        click(w(), "mapButton");
        QCOMPARE(mapWindows().size(), 1);
        LevelMapWindow* map = mapWindows().first();
        QCOMPARE(map->windowTitle(), QStringLiteral("Level Map"));
        QVERIFY(map->isWindow() && !map->isModal());
        QVERIFY(map->minimumSize() != map->maximumSize()); // resizable
        QCOMPARE(map->font(), w().font());                 // the editor's font, not the desktop's
        QTRY_VERIFY(map->isActiveWindow());

        showAndActivate(w());
        click(w(), "mapButton");
        QCOMPARE(mapWindows(), QList<LevelMapWindow*>{map});
        QTRY_VERIFY(map->isActiveWindow());

        // Closed, it comes back on the next click; it goes when the editor's window closes.
        map->close();
        click(w(), "mapButton");
        QCOMPARE(mapWindows(), QList<LevelMapWindow*>{map});
        w().close();
        QVERIFY(mapWindows().isEmpty());
    }

    void markersStandForTheirEntries_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<MapMarker::Shape>("shape");
        QTest::addColumn<QPointF>("place");
        QTest::addColumn<QColor>("colour");
        const auto triangle = MapMarker::Shape::Triangle;
        QTest::newRow("team 1") << "ADD SHIP x= 100 y= 50 r=270 team=1 typ=1" << true << triangle
                                << QPointF(100, 50) << markercolours::teamOne;
        QTest::newRow("team 2") << "ADD SHIP x=-40 y=-300 r=90 team=2 sl=4" << true << triangle
                                << QPointF(-40, -300) << markercolours::teamTwo;
        QTest::newRow("other team") << "ADD SHIP x= 10.5 y= 2 r=0 team=3 file=a.shp" << true
                                    << triangle << QPointF(10.5, 2) << markercolours::otherTeam;
        QTest::newRow("heading no number")
            << "ADD SHIP x= 5 y= 5 r=22,5 team=2 typ=1" << true << MapMarker::Shape::Circle
            << QPointF(5, 5) << markercolours::teamTwo;
        QTest::newRow("base") << "ADD BASE  x=700 y=400 file=base1.bs" << true
                              << MapMarker::Shape::Square << QPointF(700, 400)
                              << markercolours::base;
        QTest::newRow("x no number")
            << "ADD SHIP x=abc y= 0 r=0 team=1 typ=1" << false << triangle << QPointF() << QColor();
        QTest::newRow("base lacks its file")
            << "ADD BASE  x=1 y=2" << false << triangle << QPointF() << QColor();
        QTest::newRow("far beyond any screen") << "ADD SHIP x= 2000000 y= 0 r=0 team=1 typ=1"
                                               << false << triangle << QPointF() << QColor();
        QTest::newRow("no entry") << "ADD SHP x= 0 y= 0 r=0 team=1 typ=1" << false << triangle
                                  << QPointF() << QColor();
    }
    void markersStandForTheirEntries() {
        QFETCH(QString, row);
        QFETCH(bool, shown);
        QFETCH(MapMarker::Shape, shape);
        QFETCH(QPointF, place);
        QFETCH(QColor, colour);
        fill({"[winfile]", row.toStdString()});
        LevelMapWindow* map = openMap();
        const MapMarker* marker = map->scene()->marker(1);
        QCOMPARE(map->scene()->markerCount(), shown ? 1 : 0);
        if (!shown)
            return;
        QVERIFY(marker);
        QCOMPARE(marker->shape, shape);
        QCOMPARE(marker->position, place);
        QCOMPARE(marker->colour, colour);
        // Painted in that colour where the view shows the place, in view.
        QCOMPARE(pixel(map, place), colour.rgb());
    }

    void shipsPointAlongTheirHeading_data() {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QPointF>("ahead"); // on the screen, y downward
        QTest::newRow("0 up") << "0" << QPointF(0, -1);
        QTest::newRow("90 left") << "90" << QPointF(-1, 0);
        QTest::newRow("180 down") << "180" << QPointF(0, 1);
        QTest::newRow("270 right") << "270" << QPointF(1, 0);
        QTest::newRow("45 up left") << "45" << QPointF(-M_SQRT1_2, -M_SQRT1_2);
        QTest::newRow("-90 right") << "-90" << QPointF(1, 0);
    }
    void shipsPointAlongTheirHeading() {
        QFETCH(QString, heading);
        QFETCH(QPointF, ahead);
        fill({"ADD SHIP x= 0 y= 0 r=" + heading.toStdString() + " team=1 typ=1"});
        LevelMapWindow* map = openMap();
        const QImage image = map->view()->viewport()->grab().toImage();
        const QPointF centre = map->view()->viewportTransform().map(QPointF(0, 0));
        const qreal size = MarkerLayer::shipPixels(map->view()->zoom());
        QVERIFY(size >= 12);
        const QPointF side(-ahead.y(), ahead.x());
        const auto at = [&](qreal along, qreal across) {
            const QPointF p = centre + (ahead * along + side * across) * size;
            return image.pixel(QPoint(int(std::floor(p.x())), int(std::floor(p.y()))));
        };
        // Wide behind the middle, narrow ahead of it.
        QCOMPARE(at(-0.35, 0.25), markercolours::teamOne.rgb());
        QCOMPARE(at(-0.35, -0.25), markercolours::teamOne.rgb());
        QVERIFY(at(0.35, 0.25) != markercolours::teamOne.rgb());
        QVERIFY(at(0.35, -0.25) != markercolours::teamOne.rgb());
    }

    void everyChangeOfTheRowsShowsAtOnce() {
        fill({"ADD SHIP x= 100 y= 100 r=0 team=1 typ=1", "ADD SHIP x= 300 y= 100 r=0 team=2 typ=1",
              "ADD BASE  x=500 y=100 file=b.bs"});
        LevelMapWindow* map = openMap();
        showAndActivate(w());
        const QPointF a(100, 100), b(300, 100), c(500, 100);
        QCOMPARE(places(map), (Places{a, b, c}));

        select(0);
        click(w(), "down");
        QCOMPARE(places(map), (Places{b, a, c}));
        click(w(), "up");
        QCOMPARE(places(map), (Places{a, b, c}));
        click(w(), "s1"); // ADD SHIP with the panel's start values
        QCOMPARE(places(map), (Places{a, b, c, QPointF(0, 0)}));
        click(w(), "Command2"); // freizeile
        QCOMPARE(places(map), (Places{a, b, c, QPointF(0, 0), std::nullopt}));
        select(1);
        QTest::keyClick(control(w(), "inhalt"), Qt::Key_Backspace);
        QCOMPARE(places(map), (Places{a, c, QPointF(0, 0), std::nullopt}));
        select(0);
        click(w(), "Command1"); // del line
        QCOMPARE(places(map), (Places{c, QPointF(0, 0), std::nullopt}));
        click(w(), "clear");
        QCOMPARE(places(map), Places{});

        QVERIFY(
            writeBytes(m_editor.game->file("x.lev"), "ADD SHIP x=-5 y= 7 r=0 team=1 typ=1\r\n"));
        control(w(), "File1")->setFocus(); // the list reads the folder again
        QVERIFY(selectLevelFile(w(), QStringLiteral("x.lev")));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Yes);
        QTest::keyClick(map->view(), Qt::Key_Plus);
        click(w(), "load");
        QCOMPARE(places(map), (Places{QPointF(-5, 7)}));
        // A loaded level is shown whole, as Home shows it.
        const qreal loaded = map->view()->zoom();
        QTest::keyClick(map->view(), Qt::Key_Home);
        QCOMPARE(map->view()->zoom(), loaded);
    }

    void aRemovedRowTakesItsMarkerAlong() {
        fill({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "ADD SHIP x= 400 y= 0 r=0 team=2 typ=1",
              "ADD SHIP x= 800 y= 0 r=0 team=1 typ=1"});
        LevelMapWindow* map = openMap();
        QCOMPARE(pixel(map, QPointF(400, 0)), markercolours::teamTwo.rgb());
        select(1);
        click(w(), "Command1");
        QCOMPARE(map->scene()->markerCount(), 2);
        QCOMPARE(places(map), (Places{QPointF(0, 0), QPointF(800, 0)}));
        QVERIFY(pixel(map, QPointF(400, 0)) != markercolours::teamTwo.rgb());
        QCOMPARE(pixel(map, QPointF(800, 0)), markercolours::teamOne.rgb());
    }

    void clickingAMarkerSelectsItsRow() {
        Rows level(200, "[end]"); // rows that show no marker, so that the list must scroll
        level.push_back("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1");
        level.push_back("ADD SHIP x= 600 y= 300 r=0 team=2 typ=1");
        fill(level);
        LevelMapWindow* map = openMap();
        LevelMapView* view = map->view();
        auto* list = control<ContentList>(w(), "inhalt");
        list->scrollToTop();

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place(map, QPointF(600, 300)));
        QCOMPARE(selectedRow(w()), 201);
        QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 201);
        QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(201, 0))));
        QCOMPARE(map->scene()->highlightedRow(), 201);

        // Empty map clears the selection; the middle button pans.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place(map, QPointF(200, 250)));
        QCOMPARE(selectedRow(w()), -1);
        QCOMPARE(map->scene()->selectedCount(), 0);
        const QPoint start = place(map, QPointF(0, 0));
        QTest::mousePress(view->viewport(), Qt::MiddleButton, {}, start);
        QTest::mouseMove(view->viewport(), start + QPoint(40, 30));
        QTest::mouseRelease(view->viewport(), Qt::MiddleButton, {}, start + QPoint(40, 30));
        QCOMPARE(place(map, QPointF(0, 0)), start + QPoint(40, 30));
        QCOMPARE(rows(w())[200], "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1");
    }

    // The map's selection is a set: Ctrl+click, the rubber band, Ctrl+A and Escape; the content
    // list shows its current entry, and a row chosen there is the map's whole selection.
    void theMapSelectsASetOfEntries() {
        fill({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "[end]",
              "ADD SHIP x= 400 y= 0 r=0 team=2 typ=1", "ADD BASE  x=400 y=300 file=b.bs"});
        LevelMapWindow* map = openMap();
        QWidget* viewport = map->view()->viewport();
        const auto selected = [map] { return map->scene()->selectedRows(); };
        QTest::mouseClick(viewport, Qt::LeftButton, {}, place(map, QPointF(0, 0)));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier,
                          place(map, QPointF(400, 300)));
        QCOMPARE(selected(), (std::vector<int>{0, 3}));
        QCOMPARE(selectedRow(w()), 3);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, place(map, QPointF(0, 0)));
        QCOMPARE(selected(), std::vector<int>{3});

        // A band from empty map around the two markers on the right.
        const QPoint from = place(map, QPointF(300, -60));
        const QPoint to = place(map, QPointF(460, 360));
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, (from + to) / 2);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        QCOMPARE(selected(), (std::vector<int>{2, 3}));

        QTest::keyClick(map->view(), Qt::Key_Escape);
        QCOMPARE(selected(), std::vector<int>{});
        QCOMPARE(selectedRow(w()), -1);
        QTest::keyClick(map->view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selected(), (std::vector<int>{0, 2, 3}));

        showAndActivate(w());
        select(2);
        QCOMPARE(selected(), std::vector<int>{2});
        select(1); // no entry
        QCOMPARE(selected(), std::vector<int>{});
        // The map window takes the keys whenever it is active.
        showAndActivate(*map);
        QTRY_VERIFY(map->view()->hasFocus());
    }

    // Every edit on the map is one step of the level's history, and only x=, y=, r= or team=
    // change.
    void editsOnTheMapAreUndoneStepByStep() {
        const Rows level{"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "ADD BASE  x=400 y=300 file=b.bs",
                         "ADD SHIP x= 400 y= 0 r=350 team=2   sl=4 extra"};
        fill(level);
        LevelMapWindow* map = openMap();
        LevelMapView* view = map->view();
        LevelDocument& document = w().level();
        const History& history = document.history();
        const int steps = history.index();

        // A drag of two selected entries: one step, whole units.
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          place(map, QPointF(400, 0)));
        const QPoint start = place(map, QPointF(0, 0));
        const QPoint end = place(map, QPointF(100, 50));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(view->viewport(), (start + end) / 2);
        QTest::mouseMove(view->viewport(), end);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, end);
        QCOMPARE(history.index(), steps + 1);
        const auto dragged = rows(w());
        const auto movedBy = [](QPointF a, QPointF b) { return b - a; };
        const QPointF offset = movedBy(QPointF(0, 0), map->scene()->marker(0)->position);
        QVERIFY(std::abs(offset.x() - 100) <= 3 && std::abs(offset.y() - 50) <= 3);
        QCOMPARE(map->scene()->marker(1)->position, QPointF(400, 300) + offset);
        QCOMPARE(dragged[2], level[2]);

        // Escape during a drag puts the markers back and changes nothing.
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, end);
        QTest::mouseMove(view->viewport(), end + QPoint(30, 30));
        QTest::keyClick(view, Qt::Key_Escape);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, end + QPoint(30, 30));
        QCOMPARE(rows(w()), dragged);
        QCOMPARE(map->scene()->dragOffset(), QPointF());
        document.undo();
        QCOMPARE(rows(w()), level);

        // Keys on the list's row: arrows (held: one step), Shift+arrow, Q, E, T.
        showAndActivate(w());
        select(2);
        showAndActivate(*map);
        QTRY_VERIFY(view->hasFocus());
        QTest::keyClick(view, Qt::Key_Right);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(view, &repeat);
        QApplication::sendEvent(view, &repeat);
        QCOMPARE(history.index(), steps + 1);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Q);
        QTest::keyClick(view, Qt::Key_Q);
        QTest::keyClick(view, Qt::Key_E);
        QTest::keyClick(view, Qt::Key_E);
        QTest::keyClick(view, Qt::Key_E);
        QTest::keyClick(view, Qt::Key_T);
        QCOMPARE(rows(w())[2], "ADD SHIP x= 403 y= 10 r=335 team=1   sl=4 extra");
        QCOMPARE(history.index(), steps + 8);
        while (history.index() > steps)
            document.undo();
        QCOMPARE(rows(w()), level);

        // Delete removes the selection's rows, as one step.
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(rows(w()), Rows{});
        document.undo();
        QCOMPARE(rows(w()), level);

        // A double-click places a ship from the ship panel's values, with Shift a base from
        // the base panel's (none while its file is empty); the placed entry is selected.
        const QPoint empty = place(map, QPointF(120, 200));
        for (const Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, modifiers, empty);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, modifiers, empty);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, modifiers, empty);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, modifiers, empty);
        }
        QCOMPARE(rows(w()).size(), level.size() + 1);
        const QPointF placed = map->scene()->marker(3)->position;
        QVERIFY((placed - QPointF(120, 200)).manhattanLength() <= 4);
        QCOMPARE(map->scene()->selectedRows(), std::vector<int>{3});
        QVERIFY(rows(w())[3].starts_with("ADD SHIP x= "));
        document.undo();
        QCOMPARE(rows(w()), level);
    }

    // Snapping (the button as G): an arrow takes the current entry to the next grid line that
    // way, also from a line; the cross follows the mirror's centre; only plain M, T and Space
    // act; a double-click on a marker (row 1's too) places nothing.
    void snappingKeysAndTheCentreCross() {
        fill({"ADD SHIP x= 3 y= 7 r=0 team=1 typ=1", "ADD BASE  x=900 y=600 file=b.bs"});
        LevelMapWindow* map = openMap();
        LevelMapView* view = map->view();
        const Rows level = rows(w());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place(map, QPointF(3, 7)));
        QCOMPARE(selectedRow(w()), 0);
        const int steps = w().level().history().index();
        click(*map, "snapButton");
        QVERIFY(view->snaps());
        view->setFocus();
        const qreal step = view->gridStep();
        const auto at = [map] { return map->scene()->marker(0)->position; };
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(at(), QPointF(step, 7));
        QTest::keyClick(view, Qt::Key_Right); // from a line to the next one
        QCOMPARE(at(), QPointF(2 * step, 7));
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(at(), QPointF(2 * step, 0));
        QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(at(), QPointF(step, 0));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(at(), QPointF(step, step));
        click(*map, "snapButton");
        QVERIFY(!view->snaps());
        while (w().level().history().index() > steps)
            w().level().undo();
        QCOMPARE(rows(w()), level);

        // The cross shows the centre the mirror uses, whatever the mode.
        control<QComboBox>(*map, "mirrorMode")->setCurrentIndex(2);
        click(*map, "centreOnBases");
        QCOMPARE(view->mirrorCentre(), QPointF(900, 600));
        QCOMPARE(view->mirrorCentre(), map->mirrorCentre());

        view->setFocus();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place(map, QPointF(3, 7)));
        QTest::keyClick(view, Qt::Key_M, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(rows(w()), level);
        doubleClick(view->viewport(), place(map, QPointF(3, 7)));
        QCOMPARE(rows(w()), level);

        // The left button pans only with Space held; other keys leave it a band.
        const QPoint start = place(map, QPointF(400, 300));
        const auto dragged = [&](Qt::Key key) {
            QTest::keyPress(view, key);
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
            QTest::mouseMove(view->viewport(), start + QPoint(20, 10));
            QTest::mouseMove(view->viewport(), start + QPoint(40, 30));
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, start + QPoint(40, 30));
            QTest::keyRelease(view, key);
            return place(map, QPointF(400, 300));
        };
        QCOMPARE(dragged(Qt::Key_X), start);
        QCOMPARE(dragged(Qt::Key_Space), start + QPoint(40, 30));
    }

    // Ctrl+V over the map appends the clipboard's rows with their entries moved together, so that
    // the middle of their box lands under the pointer; other rows go in as they stand, and the
    // pasted rows are chosen. Ctrl+D duplicates them one grid step right and down.
    void aPasteLandsUnderThePointer() {
        fill({"[end]"});
        LevelMapWindow* map = openMap();
        QGuiApplication::clipboard()->setText(QStringLiteral(
            "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\nADD SHIP x= 100 y= 40 r=90 team=2   typ=1\r\n"
            "[winfile]\n"));
        QWidget* viewport = map->view()->viewport();
        const QPoint pointer = place(map, QPointF(500, 300));
        QMouseEvent over(QEvent::MouseMove, pointer, viewport->mapToGlobal(pointer), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &over);
        QTest::keyClick(map->view(), Qt::Key_V, Qt::ControlModifier);
        const Rows pasted = rows(w());
        QCOMPARE(pasted.size(), std::size_t{4});
        QCOMPARE(pasted[3], "[winfile]");
        const QPointF a = map->scene()->marker(1)->position;
        const QPointF b = map->scene()->marker(2)->position;
        QCOMPARE(b - a, QPointF(100, 40));
        QVERIFY(((a + b) / 2 - QPointF(500, 300)).manhattanLength() <= 4);
        QVERIFY(pasted[2].ends_with(" r=90 team=2   typ=1"));
        QCOMPARE(w().level().selection().rows(), (std::vector<LevelDocument::Index>{1, 2, 3}));

        QTest::keyClick(map->view(), Qt::Key_D, Qt::ControlModifier);
        const qreal step = map->view()->gridStep();
        QCOMPARE(rows(w()).size(), std::size_t{6});
        QCOMPARE(map->scene()->marker(4)->position, a + QPointF(step, step));
        QCOMPARE(w().level().history().undoName(), QStringLiteral("duplicate 2 rows"));
    }

    // M copies the selection for the other team about the centre cross, in the chosen mode;
    // an entry on the mirror line is skipped and the note says so.
    void mirroringAddsTheOtherTeam() {
        const Rows level{"ADD SHIP x= 0 y= 0 r=90 team=1 typ=1",
                         "ADD SHIP x= 1000 y= 200 r=270 team=2 typ=1",
                         "ADD BASE  x=500 y=400 file=b.bs"};
        fill(level);
        LevelMapWindow* map = openMap();
        QCOMPARE(map->mirrorCentre(), QPointF(500, 200));
        auto* mode = control<QComboBox>(*map, "mirrorMode");
        mode->setCurrentIndex(1); // left ↔ right
        QTest::keyClick(map->view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(map->view(), Qt::Key_M);
        Rows mirrored = level;
        mirrored.push_back("ADD SHIP x= 1000 y= 0 r=270 team=2 typ=1");
        mirrored.push_back("ADD SHIP x= 0 y= 200 r=90 team=1 typ=1");
        QCOMPARE(rows(w()), mirrored);
        QCOMPARE(map->scene()->selectedRows(), (std::vector<int>{3, 4}));
        const QString note = control<QLabel>(*map, "mapNote")->text();
        QVERIFY2(note.contains(QStringLiteral("Mirrored 2 entries")) &&
                     note.contains(QStringLiteral("1 skipped")),
                 qPrintable(note));
        w().level().undo();
        QCOMPARE(rows(w()), level);

        // The centre on the bases, point symmetry through the button.
        mode->setCurrentIndex(0);
        click(*map, "centreOnBases");
        QCOMPARE(map->mirrorCentre(), QPointF(500, 400));
        QTest::mouseClick(map->view()->viewport(), Qt::LeftButton, {}, place(map, QPointF(0, 0)));
        click(*map, "mirrorButton");
        QCOMPARE(rows(w()).back(), "ADD SHIP x= 1000 y= 800 r=270 team=2 typ=1");
    }

    // A full level, fitted, shows its markers as dots of their teams' colours.
    void aFullLevelShowsItsShipsAsDots() {
        Rows level;
        for (int i = 0; i < 2000; ++i)
            level.push_back("ADD SHIP x= " + std::to_string(i % 50 * 100) +
                            " y= " + std::to_string(i / 50 * 100) +
                            " r=0 team=" + (i % 2 ? "2" : "1") + " typ=1");
        fill(level);
        LevelMapWindow* map = openMap();
        const QImage shown = map->view()->viewport()->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                colours.insert(shown.pixel(x, y) | 0xff000000u);
        QVERIFY(colours.contains(markercolours::teamOne.rgb()));
        QVERIFY(colours.contains(markercolours::teamTwo.rgb()));
    }

    // Distance is measured both ways; the first row's marker counts like any other.
    void markersOneAboveTheOtherSelectTheirOwnRows() {
        fill({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "ADD SHIP x= 0 y= 200 r=0 team=2 typ=1"});
        LevelMapWindow* map = openMap();
        QWidget* viewport = map->view()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, place(map, QPointF(0, 200)));
        QCOMPARE(selectedRow(w()), 1);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, place(map, QPointF(0, 0)));
        QCOMPARE(selectedRow(w()), 0);
    }

    void selectingARowHighlightsItsMarkerAndBringsItIntoView() {
        fill({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "[end]",
              "ADD SHIP x= 3000 y= 2000 r=0 team=2 typ=1"});
        LevelMapWindow* map = openMap();
        LevelMapView* view = map->view();
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(view, Qt::Key_Plus);
        const auto inView = [&](QPointF p) {
            return view->viewport()->rect().contains(place(map, p));
        };
        QVERIFY(!inView(QPointF(0, 0)) || !inView(QPointF(3000, 2000)));

        for (const auto& [row, at] : {std::pair{0, QPointF(0, 0)}, {2, QPointF(3000, 2000)}}) {
            select(row);
            QCOMPARE(map->scene()->highlightedRow(), row);
            QVERIFY(inView(at));
            // The ring around the marker is painted.
            const QRgb ring = pixel(map, at, QPoint(15, 0));
            QVERIFY2(qRed(ring) > 200 && qGreen(ring) > 120 && qGreen(ring) < 190 &&
                         qBlue(ring) < 80,
                     qPrintable(QColor(ring).name()));
        }
        select(1); // a row without marker
        QCOMPARE(map->scene()->highlightedRow(), 1);
        QVERIFY(!map->scene()->marker(1));
    }

    void activatingAFindingSelectsItsRow() {
        fill({"[winfile]", "conquest.win", "[end]", "ADD SHIP x= 0 y= 0 r=0 team=1 typ=1",
              "ADD SHP x= 0 y= 0 r=0 team=1 typ=1", "ADD SHIP x= 9 y= 9 r=0 team=1 file=lost.shp"});
        LevelMapWindow* map = openMap();
        auto* findings = control<QTreeView>(*map, "findings");
        // conquest.win is not in the game folder either: rows 2, 5 and 6.
        QTRY_COMPARE(findingRows(map), (QList<int>{2, 5, 6}));

        const QModelIndex fifth = findings->model()->index(1, FindingsModel::RowColumn);
        QCOMPARE(fifth.data().toString(), QStringLiteral("5"));
        doubleClick(findings->viewport(), findings->visualRect(fifth).center());
        QCOMPARE(selectedRow(w()), 4);

        findings->setCurrentIndex(findings->model()->index(2, 0));
        QTest::keyClick(findings, Qt::Key_Return);
        QCOMPARE(selectedRow(w()), 5);

        // The findings follow the level and the game folder.
        showAndActivate(w());
        select(4);
        click(w(), "Command1");
        QTRY_COMPARE(findingRows(map), (QList<int>{2, 5}));
        QVERIFY(writeBytes(m_editor.game->file("lost.shp"), ""));
        QVERIFY(writeBytes(m_editor.game->file("conquest.win"), ""));
        click(w(), "Command2");
        QTRY_COMPARE(findingRows(map), QList<int>{});
        // What is left are the teams' differences: notes, with their own icon, not warnings.
        QVERIFY(control<QLabel>(*map, "findingsSummary")
                    ->text()
                    .startsWith(QStringLiteral("Level check: no errors or warnings, 2 notes")));
        const QModelIndex note = findings->model()->index(0, FindingsModel::RowColumn);
        QVERIFY(note.data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Note: ")));
        QCOMPARE(note.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
                 QApplication::style()
                     ->standardIcon(QStyle::SP_MessageBoxInformation)
                     .pixmap(16)
                     .toImage());
        // The teams' tally stands above the findings.
        QCOMPARE(control<QLabel>(*map, "teamTally")->text(),
                 QStringLiteral(
                     "team 1: 2 ships (typ 1 \u00D71, lost.shp \u00D71) \u00B7 team 2: 0 ships "
                     "\u00B7 0 bases"));
    }

    void viewKeysWheelAndHover() {
        fill({"ADD SHIP x= 0 y= 0 r=0 team=1 typ=1", "ADD BASE  x=500 y=300 file=b.bs"});
        LevelMapWindow* map = openMap();
        LevelMapView* view = map->view();
        const qreal fitted = view->zoom();

        QTest::keyClick(view, Qt::Key_Plus);
        QCOMPARE(view->zoom(), fitted * 1.25);
        QTest::keyClick(view, Qt::Key_Minus);
        QCOMPARE(view->zoom(), fitted);
        QTest::keyClick(view, Qt::Key_Plus);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->zoom(), fitted);

        // The wheel zooms about the pointer: the game point under it stays there.
        const QPoint pointer = place(map, QPointF(500, 300)) + QPoint(-30, 20);
        const QPointF under = view->mapToScene(pointer);
        QWheelEvent wheel(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QCOMPARE(view->zoom(), fitted * 1.25 * 1.25);
        QVERIFY((view->mapFromScene(under) - pointer).manhattanLength() <= 2);

        // Hovering a marker names its row.
        const QPoint onBase = place(map, QPointF(500, 300));
        QHelpEvent help(QEvent::ToolTip, onBase, view->viewport()->mapToGlobal(onBase));
        QApplication::sendEvent(view->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Row 2: ADD BASE  x=500 y=300 file=b.bs"));
        QToolTip::hideText();
    }

private:
    Form1& w() { return *m_editor.window; }

    void fill(const Rows& texts) { addRows(w(), texts); }
    void select(int row) { selectRowByClick(w(), row); }

    static QList<LevelMapWindow*> mapWindows() {
        QList<LevelMapWindow*> shown;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* map = qobject_cast<LevelMapWindow*>(widget); map && map->isVisible())
                shown << map;
        return shown;
    }
    LevelMapWindow* openMap() {
        click(w(), "mapButton");
        const auto shown = mapWindows();
        if (shown.size() != 1)
            qFatal("the map did not open");
        if (!QTest::qWaitForWindowExposed(shown.first()))
            qFatal("the map is not shown");
        return shown.first();
    }

    // Where the view shows a game point, in its viewport.
    static QPoint place(LevelMapWindow* map, QPointF game) {
        const QPointF p = map->view()->viewportTransform().map(game);
        return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
    }
    static QRgb pixel(LevelMapWindow* map, QPointF game, QPoint offset = {}) {
        return map->view()->viewport()->grab().toImage().pixel(place(map, game) + offset) |
               0xff000000u;
    }
    static Places places(LevelMapWindow* map) {
        Places found;
        for (const auto& marker : map->scene()->markers())
            found << (marker ? std::optional(marker->position) : std::nullopt);
        return found;
    }
    static QList<int> findingRows(LevelMapWindow* map) {
        QList<int> found;
        for (const level::Finding& finding : map->findings().findings())
            if (finding.row > 0)
                found << finding.row;
        return found;
    }

    EditorWindow m_editor;
};

LEVELTOOLS_TEST_MAIN(TestLevelMap)
#include "test_levelmap.moc"
