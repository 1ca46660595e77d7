#include "core/startfolder.h"
#include "editor/form1.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Numbers are read and written by our own code; no C library call may follow the locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("tessavor"));

    editor::Form1 window(widgets::toQString(level::StartFolder()));
    // Rows an editor left behind when it crashed, once the window is there to ask over.
    window.offerRecoveriesOnceDrawn();
    window.show();
    return app.exec();
}
