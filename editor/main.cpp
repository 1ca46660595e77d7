#include "form1.h"
#include "messageboxes.h"
#include "qtpath.h"
#include "startfolder.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Numbers are read and written by our own code; no C library call may follow the locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("tessavor"));

    editor::Form1 window(toQString(StartFolder()));
    window.show();
    return app.exec();
}
