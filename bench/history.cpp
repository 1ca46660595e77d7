// In-process timings of the level's history in the editor's window with its content list shown,
// at 32,767 rows (run offscreen), each until the list has laid out and repainted its rows. Goals:
//   undo of a clear, and its redo                                             each at most 10 ms
//   undo of a load                                                            at most 10 ms
//   an in-place edit committed with Enter                                     at most 2 ms
//   an append as a step of the history, beside the same append made directly
//     on the level's model (how every append was made before there was a
//     history)                                                                at most 10 % slower
//   the history's memory after 1,000 appends of 40-character rows             at most 1 MiB
//   the history's memory after 1,000 rewrites of 20 rows of 4,000 characters  at most 64 MiB
//                                                                             and one step
// Prints the median of the runs (min, max) in milliseconds, and the memory in bytes.

#include "editor/contentlist.h"
#include "editor/document/leveldocument.h"
#include "editor/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

// Bytes the program holds from operator new, so that what the history holds can be told.
long long liveBytes = 0;

} // namespace

void* operator new(std::size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory)
        throw std::bad_alloc();
    liveBytes += static_cast<long long>(malloc_usable_size(memory));
    return memory;
}
void operator delete(void* memory) noexcept {
    if (memory)
        liveBytes -= static_cast<long long>(malloc_usable_size(memory));
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}

namespace {

double timed(const std::function<void()>& run) {
    QElapsedTimer timer;
    timer.start();
    run();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double report(const char* what, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    const double median = runs[runs.size() / 2];
    std::printf("%-52s median %7.3f ms (min %.3f, max %.3f)\n", what, median, runs.front(),
                runs.back());
    return median;
}

std::string shipRow(int i) {
    return "ADD SHIP x= " + std::to_string(i % 5000) + " y= " + std::to_string(i % 3000) +
           " r=" + std::to_string(i % 360) + " team=" + std::to_string(1 + i % 2) + " typ=1";
}

level::LevelLineList levelOf(int count, int from) {
    level::LevelLineList lines;
    for (int i = 0; i < count; ++i)
        if (!lines.AddLine(shipRow(from + i)))
            std::exit(1);
    return lines;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    constexpr int Runs = 15;
    constexpr int Full = level::LevelLineList::MaxRows;

    editor::Form1 window(QDir::currentPath() + QLatin1Char('/'));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    auto* inhalt = window.findChild<editor::ContentList*>(QStringLiteral("inhalt"));
    QWidget* viewport = inhalt->viewport();
    editor::LevelDocument& document = window.level();
    // Timed: the list has laid out its rows anew (a posted layout) and repainted.
    const auto settled = [&] {
        QApplication::processEvents();
        viewport->repaint();
    };
    const auto shown = settled;

    document.replaceLines(levelOf(Full, 0));
    shown();
    std::vector<double> undoClear, redoClear, undoLoad, edit;
    for (int i = 0; i < Runs; ++i) {
        document.clearLines();
        shown();
        undoClear.push_back(timed([&] {
            document.undo();
            settled();
        }));
        QApplication::processEvents();
        redoClear.push_back(timed([&] {
            document.redo();
            settled();
        }));
        document.undo();
        shown();
    }
    for (int i = 0; i < Runs; ++i) {
        document.replaceLines(levelOf(Full, i + 1));
        shown();
        undoLoad.push_back(timed([&] {
            document.undo();
            settled();
        }));
        shown();
    }
    for (int i = 0; i < Runs; ++i) {
        const QModelIndex row = document.model().index(Full / 2 + i);
        document.selectLine(static_cast<editor::LevelDocument::Index>(row.row()));
        inhalt->edit(row);
        shown();
        QLineEdit* editor = inhalt->rowEditor();
        if (!editor) {
            std::fprintf(stderr, "no row editor opened\n");
            return 1;
        }
        editor->setText(QStringLiteral("edited %1").arg(i));
        edit.push_back(timed([&] {
            QTest::keyClick(editor, Qt::Key_Return);
            settled();
        }));
        if (document.lines().LineAt(static_cast<editor::LevelDocument::Index>(row.row())) !=
            "edited " + std::to_string(i)) {
            std::fprintf(stderr, "the edit was not made\n");
            return 1;
        }
        shown();
    }

    // Appends to a level of 32,000 rows, each taken away again; the two ways alternate so that
    // both meet the same machine. The direct append brings the new row into view, as the list
    // does for an append.
    constexpr int AppendRuns = 301;
    document.replaceLines(levelOf(32000, 0));
    document.clearHistory();
    shown();
    std::vector<double> direct, command;
    for (int i = 0; i < AppendRuns; ++i) {
        const std::string row = shipRow(40000 + i);
        direct.push_back(timed([&] {
            std::vector<std::string> one{row};
            const editor::LevelDocument::Index at = document.lines().LineCount();
            if (!document.model().insertLines({at}, one))
                std::exit(1);
            inhalt->scrollTo(document.model().index(at)); // as the list shows every new row
            settled();
        }));
        std::vector<std::string> removed;
        if (!document.model().removeLines({static_cast<editor::LevelDocument::Index>(32000)},
                                          removed))
            std::exit(1);
        shown();
        command.push_back(timed([&] {
            if (!document.addLine(row, QStringLiteral("add ship")))
                std::exit(1);
            settled();
        }));
        document.undo();
        shown();
    }

    std::printf("history of a level of %d rows in the shown content list\n", Full);
    report("undo of a clear (goal 10 ms)", undoClear);
    report("redo of a clear (goal 10 ms)", redoClear);
    report("undo of a load (goal 10 ms)", undoLoad);
    report("in-place edit committed (goal 2 ms)", edit);
    const double before = report("append made directly on the model", direct);
    const double now = report("append as a step of the history", command);
    std::printf("append as a step: %+.1f %% against the direct append (goal at most +10 %%)\n",
                (now / before - 1.0) * 100.0);

    // The history alone, without a window: what 1,000 steps of appends hold.
    editor::LevelDocument alone;
    const long long start = liveBytes;
    for (int i = 0; i < 1000; ++i)
        if (!alone.addLine(std::string(40, static_cast<char>('a' + i % 26)),
                           QStringLiteral("add ship")))
            return 1;
    const long long withRows = liveBytes;
    alone.clearHistory();
    const long long historyBytes = withRows - liveBytes;
    std::printf("1,000 appends of 40-character rows: %lld bytes with the rows, the history %lld "
                "bytes (%.1f per step; goal at most 1 MiB)\n",
                withRows - start, historyBytes, static_cast<double>(historyBytes) / 1000.0);

    // 1,000 steps of large rows: each rewrites 20 rows of 4,000 characters, so that the history
    // holds 80 KB of old texts a step, 80 MB in all without its budget.
    editor::LevelDocument large;
    if (!large.appendLines(std::vector<std::string>(20, std::string(4000, 'r')),
                           QStringLiteral("add")))
        return 1;
    large.clearHistory();
    std::vector<editor::LevelDocument::Index> twenty(20);
    for (std::size_t i = 0; i < twenty.size(); ++i)
        twenty[i] = static_cast<editor::LevelDocument::Index>(i);
    const long long largeStart = liveBytes;
    for (int i = 0; i < 1000; ++i)
        large.rewriteLines(
            twenty,
            std::vector<std::string>(20, std::string(4000, static_cast<char>('a' + i % 26))),
            QStringLiteral("move"));
    const long long largeWith = liveBytes;
    const int kept = large.history().count();
    large.clearHistory();
    const long long largeHistory = largeWith - liveBytes;
    const double mib = 1024.0 * 1024.0;
    std::printf("1,000 rewrites of 20 rows of 4,000 characters: the history %lld bytes (%.2f MiB, "
                "%d steps kept; goal at most 64 MiB + one step of %.2f MiB), %lld bytes before "
                "the history went\n",
                largeHistory, static_cast<double>(largeHistory) / mib, kept,
                20.0 * (4000 + sizeof(std::string)) / mib, largeWith - largeStart);
    return 0;
}
