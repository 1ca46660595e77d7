#include "launcher.h"

#include "messageboxes.h"

#include <QFileInfo>
#include <QProcess>

std::optional<FileError> startExternalEditor(const QString& program) {
    const QFileInfo info(program);
    const auto failure = [&](const QString& reason) {
        return FileError{"start", toCorePath(program), reason.toStdString()};
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
    return std::nullopt;
}
