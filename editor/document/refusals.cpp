#include "editor/document/refusals.h"

#include "core/levelfile.h"
#include "core/windows1252.h"

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

std::optional<QString> pasteRefusal(const std::vector<std::string>& rows,
                                    level::LevelLineList::Index count) {
    for (std::size_t line = 0; line < rows.size(); ++line)
        if (auto storable = level::CheckStorableRow(rows[line], line + 1); !storable)
            return QStringLiteral("Nothing was pasted: line %1 of the text holds %2, which a level "
                                  "file cannot store.")
                .arg(line + 1)
                .arg(QString::fromStdString(
                    storable.error().character
                        ? level::DescribeCharacter(*storable.error().character)
                        : std::string("a line break")));
    if (static_cast<std::size_t>(count) + rows.size() >
        static_cast<std::size_t>(level::LevelLineList::MaxRows))
        return QStringLiteral("Nothing was pasted: the %1 lines would make %2 lines, more than the "
                              "%3 a level file can hold.")
            .arg(rows.size())
            .arg(static_cast<std::size_t>(count) + rows.size())
            .arg(level::LevelLineList::MaxRows);
    return std::nullopt;
}

} // namespace editor
