#include "editor/document/refusals.h"

namespace editor {

QString appendRefusal(level::LevelLineList::Index count, const QString& line) {
    const QString shown = line.isEmpty() ? QStringLiteral("(an empty line)") : line;
    if (count < level::LevelLineList::MaxRows)
        return QStringLiteral("There is not enough memory. The line was not added:\n%1").arg(shown);
    return QStringLiteral("The level already holds %1 lines, the most a level file can hold. The "
                          "line was not added:\n%2")
        .arg(level::LevelLineList::MaxRows)
        .arg(shown);
}

QString rowsRefusal(level::LevelLineList::Index count, int adding, const QString& what,
                    const QString& done) {
    if (count + adding > level::LevelLineList::MaxRows)
        return QStringLiteral("The %1 would make %2 lines, more than the %3 a level file can "
                              "hold. %4.")
            .arg(what)
            .arg(count + adding)
            .arg(level::LevelLineList::MaxRows)
            .arg(done);
    return QStringLiteral("There is not enough memory. %1.").arg(done);
}

} // namespace editor
