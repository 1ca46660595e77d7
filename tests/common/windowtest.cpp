#include "tests/common/windowtest.h"

#include "widgets/qtpath.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>

#include <algorithm>

WindowTestEnvironment::WindowTestEnvironment() {
    const QByteArray home = QByteArray::fromStdString(m_home.path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    // Recovery files of the editors under test.
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("LOCALAPPDATA", home + "/AppData/Local");
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

QString GameFolder::qtPath(const std::string& path) {
    return widgets::fromCorePath(path);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

int titleTextWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(title),
                    QFontMetrics(titleFont).horizontalAdvance(title)) +
           3 * metrics.height();
}
