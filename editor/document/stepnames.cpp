#include "editor/document/stepnames.h"

#include <QChar>

namespace editor::stepnames {

namespace {

QString rowNumber(Index row) {
    return QString::number(row + 1);
}

} // namespace

QString added(Added what) {
    switch (what) {
    case Added::Ship:
        return QStringLiteral("add ship");
    case Added::Base:
        return QStringLiteral("add base");
    case Added::EmptyRow:
        return QStringLiteral("add empty row");
    case Added::PlacedShip:
        return QStringLiteral("place ship");
    case Added::PlacedBase:
        return QStringLiteral("place base");
    case Added::Row:
        break;
    }
    return QStringLiteral("add row");
}

// Short enough for a menu.
QString addedLine(const QString& line) {
    constexpr int most = 40;
    return QStringLiteral("add ") + (line.size() <= most ? line : line.left(most) + QChar(0x2026));
}

QString onRows(const QString& verb, const std::vector<Index>& rows, const QString& things) {
    if (rows.size() == 1)
        return QStringLiteral("%1 row %2").arg(verb, rowNumber(rows.front()));
    return QStringLiteral("%1 %2 %3").arg(verb).arg(rows.size()).arg(things);
}

QString deleted(const std::vector<Index>& rows, const QString& things) {
    return onRows(QStringLiteral("delete"), rows, things);
}

QString moved(Index row, bool up) {
    return QStringLiteral("move row %1 %2")
        .arg(rowNumber(row), up ? QStringLiteral("up") : QStringLiteral("down"));
}

QString movedRows(std::size_t count, bool up) {
    return QStringLiteral("move %1 rows %2")
        .arg(count)
        .arg(up ? QStringLiteral("up") : QStringLiteral("down"));
}

namespace {

QString counted(const char* verb, std::size_t count) {
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(verb))
        .arg(count)
        .arg(count == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
}

} // namespace

QString pasted(std::size_t count) {
    return counted("paste", count);
}

QString duplicated(std::size_t count) {
    return counted("duplicate", count);
}

QString edited(Index row) {
    return QStringLiteral("edit row ") + rowNumber(row);
}

QString cleared(Index count) {
    return count == 1 ? QStringLiteral("clear 1 row") : QStringLiteral("clear %1 rows").arg(count);
}

QString loaded(const QString& file) {
    return QStringLiteral("load ") + file;
}

QString restored(const QString& level) {
    return QStringLiteral("restore unsaved rows of ") + level;
}

QString replacedAll() {
    return QStringLiteral("replace all rows");
}

} // namespace editor::stepnames
