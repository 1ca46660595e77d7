#include "editor/launcher.h"

#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace editor {

namespace {

// The game's own editors are Windows programs (every one begins with "MZ"); anywhere but on
// Windows they need Wine.
bool needsWine(const QString& program) {
#ifdef Q_OS_WIN
    Q_UNUSED(program);
    return false;
#else
    QFile file(program);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
#endif
}

} // namespace

level::Result<void> startExternalEditor(const QString& program) {
    const QFileInfo info(program);
    const auto failure = [&](const QString& reason) {
        return level::FileError{"start", widgets::toCorePath(program),
                                widgets::toStdString(reason)};
    };
    if (!info.exists())
        return failure(QStringLiteral("No such file or directory"));
    if (info.isDir())
        return failure(QStringLiteral("Is a directory"));

    QProcess process;
    if (needsWine(program)) {
        // Wine runs it whatever its execute permission; Windows programs copied over rarely have
        // one.
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return failure(QStringLiteral("it is a Windows program, and Wine is not installed"));
        process.setProgram(wine);
        process.setArguments({program});
    } else if (!info.isExecutable()) {
        return failure(QStringLiteral("Permission denied"));
    } else {
        process.setProgram(program);
        process.setArguments({});
    }
    if (!process.startDetached())
        return failure(process.errorString());
    return {};
}

} // namespace editor
