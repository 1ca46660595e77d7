// Whole-program start-up timing of the editor's window. One run per process:
//   bench_window bare            an empty 551 x 374 Qt window (the floor)
//   bench_window button          the same window with one push button (the floor of a window
//                                that shows text)
//   bench_window empty           the editor's window with an empty level
//   bench_window rows <file>     the editor's window with the level file's rows loaded
// Each quits on the first paint of what it shows (for "rows", the content list's first paint
// with the rows) and prints "<mode> load_ms=<in-process load> maxrss_kb=<peak memory>".

#include "core/levelfile.h"
#include "core/startfolder.h"
#include "editor/contentlist.h"
#include "editor/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// Quits the application after the watched widget's first paint has completed.
class QuitOnPaint : public QObject {
public:
    explicit QuitOnPaint(QWidget* watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const char* mode = argc > 1 ? argv[1] : "bare";
    double loadMs = 0;
    int exitCode = 0;

    if (std::strcmp(mode, "bare") == 0 || std::strcmp(mode, "button") == 0) {
        QWidget window;
        window.setFixedSize(551, 374);
        QWidget* watched = &window;
        if (std::strcmp(mode, "button") == 0) {
            auto* button = new QPushButton(QStringLiteral("load"), &window);
            button->setGeometry(336, 24, 57, 17);
            watched = button;
        }
        QuitOnPaint quit(watched);
        window.show();
        exitCode = app.exec();
    } else {
        editor::Form1 window(QDir::currentPath() + QLatin1Char('/'));
        QWidget* watched = window.findChild<QListView*>(QStringLiteral("inhalt"))->viewport();
        if (std::strcmp(mode, "rows") == 0 && argc > 2) {
            QElapsedTimer timer;
            timer.start();
            level::LevelLineList rows;
            if (auto loaded = level::LoadLevelFile(argv[2], rows); !loaded) {
                std::fprintf(stderr, "%s\n", loaded.error().Message().c_str());
                return 1;
            }
            window.level().replaceLines(std::move(rows));
            loadMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        QuitOnPaint quit(watched);
        window.show();
        exitCode = app.exec();
    }
    std::printf("%s load_ms=%.2f maxrss_kb=%ld\n", mode, loadMs, peakMemoryKb());
    return exitCode;
}
