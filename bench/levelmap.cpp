// In-process timings of the level map with a level of 32,767 ship entries, spread over a
// 5000 x 3000 area, both teams, every heading (run offscreen). Goals:
//   open    the map window opens and is painted, fitted to every marker     at most 300 ms
//   append  one row is appended and the map is repainted where it changed   at most 2 ms
//   pan     a pan at full view and its repaint                              at most 16 ms
//   drag    a drag of 1,000 selected ships: each mouse move until repainted at most 16 ms
//   commit  the drag's release: 1,000 rows rewritten, one step, repainted   at most 20 ms
//   mirror  16,000 selected ships mirrored for the other team (M)            at most 50 ms
//   delete, undo and redo of 16,384 ships on every other row of 32,767 (Ctrl+A, Delete, Ctrl+Z,
//           Ctrl+Shift+Z), map and content list repainted                   at most 50 ms each,
//           and at most twice the same with the 16,384 ships together
// and, for comparison, a repaint of the whole map at full view, the level check with the
// listing of the game folder (as the map window runs it) and the listing alone. The map shows a
// level of its own without a content list, so that the times are the map's alone; the
// last lines append a row, drag and mirror in the editor's window, content list and map
// together.
// Prints the median of 15 runs (min, max) in milliseconds.

#include "core/folderfiles.h"
#include "editor/document/leveldocument.h"
#include "editor/form1.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "editor/levelmap/levelmapwindow.h"
#include "widgets/qtpath.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 15;

std::string shipRow(int i) {
    // A fixed scatter (a multiplicative hash), so that markers rarely share a pixel.
    const auto h = static_cast<std::uint32_t>(i) * 2654435761u;
    const int x = static_cast<int>(h % 5000);
    const int y = static_cast<int>((h >> 12) % 3000);
    return "ADD SHIP x= " + std::to_string(x) + " y= " + std::to_string(y) +
           " r=" + std::to_string(i % 360) + " team=" + std::to_string(1 + i % 2) +
           " typ=" + std::to_string(1 + i % 20);
}

// Counts the paint events of a widget, so that a timing can wait for the repaint it caused.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Processes events until the widget was painted again (or a second passed: reported).
bool waitForPaint(const PaintCounter& counter, int before) {
    QElapsedTimer limit;
    limit.start();
    while (counter.count == before) {
        QApplication::processEvents();
        if (limit.elapsed() > 1000)
            return false;
    }
    return true;
}

void report(const char* what, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    std::printf("%-44s median %7.2f ms (min %.2f, max %.2f)\n", what, runs[runs.size() / 2],
                runs.front(), runs.back());
}

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // A game folder of 500 files, among them the level's ship files.
    QTemporaryDir game;
    for (int i = 0; i < 500; ++i) {
        QFile file(game.filePath(QStringLiteral("file%1.shp").arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
    }
    const QString folder = game.path() + QLatin1Char('/');

    std::vector<std::string> rows;
    for (int i = 0; i < level::LevelLineList::MaxRows - 1; ++i)
        rows.push_back(shipRow(i));
    const auto fill = [&rows](editor::LevelDocument& document) {
        level::LevelLineList level;
        if (!level.ReplaceLines(rows))
            std::exit(1);
        document.replaceLines(std::move(level));
    };
    editor::LevelDocument model;
    fill(model);

    std::vector<double> open;
    for (int i = 0; i < Runs; ++i) {
        open.push_back(timed([&] {
            editor::LevelMapWindow map(model, folder);
            map.show();
            if (!QTest::qWaitForWindowExposed(&map))
                std::exit(1);
            map.repaint();
        }));
        QApplication::processEvents();
    }

    editor::LevelMapWindow map(model, folder);
    map.show();
    if (!QTest::qWaitForWindowExposed(&map))
        return 1;
    QWidget* viewport = map.view()->viewport();
    PaintCounter paints(viewport);
    QApplication::processEvents();

    // The 32,767th row, appended and taken away again.
    std::vector<double> append;
    for (int i = 0; i < Runs; ++i) {
        const int before = paints.count;
        append.push_back(timed([&] {
            if (!model.addLine(shipRow(level::LevelLineList::MaxRows - 1 + i)))
                std::exit(1);
            if (!waitForPaint(paints, before))
                std::fprintf(stderr, "no repaint after an append\n");
        }));
        model.removeLine(
            static_cast<level::LevelLineList::Index>(level::LevelLineList::MaxRows - 1));
        QApplication::processEvents();
    }
    if (!model.addLine(shipRow(level::LevelLineList::MaxRows - 1)))
        return 1;
    QApplication::processEvents();

    map.view()->fitAll();
    QApplication::processEvents();
    std::vector<double> pan;
    QScrollBar* across = map.view()->horizontalScrollBar();
    for (int i = 0; i < Runs; ++i) {
        const int before = paints.count;
        pan.push_back(timed([&] {
            across->setValue(across->value() + (i % 2 ? -60 : 60));
            if (!waitForPaint(paints, before))
                std::fprintf(stderr, "no repaint after a pan\n");
        }));
    }

    std::vector<double> repaint;
    for (int i = 0; i < Runs; ++i)
        repaint.push_back(timed([&] { viewport->repaint(); }));

    std::vector<double> check;
    for (int i = 0; i < Runs; ++i)
        check.push_back(timed([&] { map.checkNow(); }));

    std::vector<double> listing;
    for (int i = 0; i < Runs; ++i)
        listing.push_back(timed([&] {
            if (!level::FolderFiles::Read(widgets::toCorePath(folder)))
                std::exit(1);
        }));

    // The same append in the editor's window: its content list scrolls to the new row.
    editor::Form1 window(folder);
    fill(window.level());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    editor::LevelMapWindow editorMap(window.level(), folder);
    editorMap.show();
    if (!QTest::qWaitForWindowExposed(&editorMap))
        return 1;
    PaintCounter editorPaints(editorMap.view()->viewport());
    QApplication::processEvents();
    std::vector<double> editorAppend;
    for (int i = 0; i < Runs; ++i) {
        const int before = editorPaints.count;
        editorAppend.push_back(timed([&] {
            if (!window.level().addLine(shipRow(level::LevelLineList::MaxRows - 1 + i)))
                std::exit(1);
            if (!waitForPaint(editorPaints, before))
                std::fprintf(stderr, "no repaint after an append\n");
        }));
        window.level().removeLine(
            static_cast<level::LevelLineList::Index>(level::LevelLineList::MaxRows - 1));
        QApplication::processEvents();
    }

    // A drag of the first 1,000 ships with the mouse: moves, then the release.
    editor::LevelMapView* editorView = editorMap.view();
    QWidget* editorViewport = editorView->viewport();
    editorView->fitAll();
    std::vector<editor::LevelDocument::Index> thousand(1000);
    for (int row = 0; row < 1000; ++row)
        thousand[static_cast<std::size_t>(row)] = static_cast<editor::LevelDocument::Index>(row);
    std::vector<double> drag;
    std::vector<double> commit;
    for (int i = 0; i < Runs; ++i) {
        window.level().choose(thousand, -1);
        QApplication::processEvents();
        // The press must find a selected ship on top at its pixel.
        QPoint start;
        for (const int row : thousand) {
            start = editorView->mapFromScene(editorMap.scene()->marker(row)->position);
            if (editorView->markerUnder(start) == row)
                break;
        }
        QTest::mousePress(editorViewport, Qt::LeftButton, {}, start);
        QPoint at = start;
        for (int step = 1; step <= 4; ++step) {
            at = start + QPoint(12 * step, 7 * step);
            const int before = editorPaints.count;
            drag.push_back(timed([&] {
                QTest::mouseMove(editorViewport, at);
                if (!waitForPaint(editorPaints, before))
                    std::fprintf(stderr, "no repaint after a drag move\n");
            }));
        }
        const int before = editorPaints.count;
        const int steps = window.level().history().index();
        commit.push_back(timed([&] {
            QTest::mouseRelease(editorViewport, Qt::LeftButton, {}, at);
            if (!waitForPaint(editorPaints, before))
                std::fprintf(stderr, "no repaint after a drag\n");
        }));
        if (window.level().history().index() != steps + 1)
            std::fprintf(stderr, "the drag made no step\n");
        window.level().undo();
        QApplication::processEvents();
    }

    // 16,000 ships mirrored, in a level of 16,000.
    rows.resize(16000);
    fill(window.level());
    QApplication::processEvents();
    std::vector<editor::LevelDocument::Index> all(16000);
    for (int row = 0; row < 16000; ++row)
        all[static_cast<std::size_t>(row)] = static_cast<editor::LevelDocument::Index>(row);
    std::vector<double> mirror;
    for (int i = 0; i < Runs; ++i) {
        window.level().choose(all, -1);
        QApplication::processEvents();
        const int before = editorPaints.count;
        mirror.push_back(timed([&] {
            editorMap.mirrorSelection();
            if (!waitForPaint(editorPaints, before))
                std::fprintf(stderr, "no repaint after a mirror\n");
        }));
        if (window.level().lines().LineCount() != 32000)
            std::fprintf(stderr, "the mirror made %d rows\n", window.level().lines().LineCount());
        window.level().undo();
        QApplication::processEvents();
    }

    // A level of 32,767 rows with 16,384 ships, Ctrl+A and Delete on the map, then Ctrl+Z and
    // Ctrl+Shift+Z: the ships on every other row (scattered), and the same ships standing together
    // before the other rows. Each until the map and the content list have repainted.
    auto* list = window.findChild<QWidget*>(QStringLiteral("inhalt"));
    QWidget* listViewport =
        list ? list->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport")) : nullptr;
    const auto settle = [&](int before) {
        if (!waitForPaint(editorPaints, before))
            std::fprintf(stderr, "no repaint of the map\n");
        QApplication::processEvents();
        if (listViewport)
            listViewport->repaint();
    };
    std::vector<double> scatteredDelete, scatteredUndo, scatteredRedo;
    std::vector<double> togetherDelete, togetherUndo, togetherRedo;
    for (const bool scattered : {true, false}) {
        rows.clear();
        for (int row = 0; row < level::LevelLineList::MaxRows; ++row) {
            const bool ship = scattered ? row % 2 == 0 : row < 16384;
            rows.push_back(ship ? shipRow(row) : std::string("[end]"));
        }
        fill(window.level());
        QApplication::processEvents();
        auto& deletes = scattered ? scatteredDelete : togetherDelete;
        auto& undos = scattered ? scatteredUndo : togetherUndo;
        auto& redos = scattered ? scatteredRedo : togetherRedo;
        for (int i = 0; i < Runs; ++i) {
            editorView->setFocus();
            QTest::keyClick(editorView, Qt::Key_A, Qt::ControlModifier);
            QApplication::processEvents();
            int before = editorPaints.count;
            deletes.push_back(timed([&] {
                QTest::keyClick(editorView, Qt::Key_Delete);
                settle(before);
            }));
            if (window.level().lines().LineCount() != level::LevelLineList::MaxRows - 16384)
                std::fprintf(stderr, "the delete left %d rows\n",
                             window.level().lines().LineCount());
            before = editorPaints.count;
            undos.push_back(timed([&] {
                window.level().undo();
                settle(before);
            }));
            before = editorPaints.count;
            redos.push_back(timed([&] {
                window.level().redo();
                settle(before);
            }));
            window.level().undo();
            QApplication::processEvents();
        }
    }

    std::printf("level map of %d ship entries, %d markers, zoom %.3f px/unit, viewport %dx%d\n",
                model.lines().LineCount(), map.scene()->markerCount(), map.view()->zoom(),
                viewport->width(), viewport->height());
    report("open and paint fitted (goal 300 ms)", open);
    report("append one row until repainted (goal 2 ms)", append);
    report("pan at full view until repainted (goal 16)", pan);
    report("repaint of the whole map at full view", repaint);
    report("level check with the folder listing", check);
    report("listing of a game folder of 500 files", listing);
    report("append in the editor, content list and map", editorAppend);
    report("drag of 1,000 ships: a move (goal 16 ms)", drag);
    report("drag of 1,000 ships: the release (goal 20)", commit);
    report("mirror of 16,000 ships (goal 50 ms)", mirror);
    report("delete of 16,384 scattered ships (goal 50 ms)", scatteredDelete);
    report("delete of 16,384 ships together", togetherDelete);
    report("undo of 16,384 scattered ships (goal 50 ms)", scatteredUndo);
    report("undo of 16,384 ships together", togetherUndo);
    report("redo of 16,384 scattered ships (goal 50 ms)", scatteredRedo);
    report("redo of 16,384 ships together", togetherRedo);
    return 0;
}
