#include "launcher.h"

#include "messageboxes.h"
#include "qtpath.h"

#include <QFileInfo>
#include <QProcess>

namespace editor {

Result<void> startExternalEditor(const QString& program) {
    const QFileInfo info(program);
    const auto failure = [&](const QString& reason) {
        return FileError{"start", toCorePath(program), toStdString(reason)};
    };
    if (!info.exists())
        return failure(QStringLiteral("No such file or directory"));
    if (info.isDir())
        return failure(QStringLiteral("Is a directory"));
    if (!info.isExecutable())
        return failure(QStringLiteral("Permission denied"));

    QProcess process;
    process.setProgram(program);
    process.setArguments({});
    if (!process.startDetached())
        return failure(process.errorString());
    return {};
}

} // namespace editor
