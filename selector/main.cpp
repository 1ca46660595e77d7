#include "core/startfolder.h"
#include "selector/form1.h"

#include <QApplication>

#include <clocale>

// pallowick, the level selector: writes the chosen level file's name into levels/uselev.lst
// under the folder it was started in.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("pallowick"));

    selector::Form1 window(level::StartFolder());
    window.show();
    return QApplication::exec();
}
