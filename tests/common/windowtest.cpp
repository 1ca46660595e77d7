#include "windowtest.h"

#include <QDir>

WindowTestEnvironment::WindowTestEnvironment() {
    if (!m_home.isValid())
        qFatal("cannot make a private home folder: %s", qPrintable(m_home.errorString()));
    const QByteArray home = QFile::encodeName(m_home.path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}
