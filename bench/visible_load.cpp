// In-process timing: a 32,767-row level file loaded into the visible content list, from reading
// the file to the list's repaint with the rows. Prints the median of 15 runs in milliseconds.

#include "core/levelfile.h"
#include "editor/contentlist.h"
#include "editor/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListView>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_visible_load <level file>\n");
        return 2;
    }
    editor::Form1 window(QDir::currentPath() + QLatin1Char('/'));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    std::vector<double> runs;
    for (int i = 0; i < 15; ++i) {
        window.level().clearLines();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        level::LevelLineList rows;
        if (auto loaded = level::LoadLevelFile(argv[1], rows); !loaded) {
            std::fprintf(stderr, "%s\n", loaded.error().Message().c_str());
            return 1;
        }
        window.level().replaceLines(std::move(rows));
        window.findChild<QListView*>(QStringLiteral("inhalt"))->viewport()->repaint();
        runs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("visible load of %d rows: median %.2f ms (min %.2f, max %.2f)\n",
                window.lines().LineCount(), runs[runs.size() / 2], runs.front(), runs.back());
    return 0;
}
