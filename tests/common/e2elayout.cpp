#include "tests/common/e2elayout.h"

#include "tests/common/windowtest.h"
#include "widgets/geometry.h"

#include <QRegularExpression>

QStringList e2eLayoutMismatches(const QWidget& window, const QString& windowName) {
    const QString path = QString::fromUtf8(LEVELTOOLS_E2E_LAYOUT);
    const QString text = QString::fromUtf8(readBytes(path));
    // The table is the text of the shell variable e2e_layout='...'.
    const QString opening = QStringLiteral("e2e_layout='");
    const qsizetype start = text.indexOf(opening);
    const qsizetype end = start < 0 ? -1 : text.indexOf(QLatin1Char('\''), start + opening.size());
    if (end < 0)
        return {QStringLiteral("no table e2e_layout='...' in ") + path};

    static const QRegularExpression row(
        QStringLiteral("^(\\w+)\\.(\\w+) +(\\d+) +(\\d+) +(\\d+) +(\\d+)$"));
    QStringList mismatches;
    int rows = 0;
    for (QString line :
         text.mid(start + opening.size(), end - start - opening.size()).split(QLatin1Char('\n'))) {
        line = line.simplified();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch match = row.match(line);
        if (!match.hasMatch()) {
            mismatches << QStringLiteral("cannot read the row '%1'").arg(line);
            continue;
        }
        if (match.captured(1) != windowName)
            continue;
        ++rows;
        const QString name = match.captured(2);
        const QRect expected =
            widgets::twipsRect(match.captured(3).toInt(), match.captured(4).toInt(),
                               match.captured(5).toInt(), match.captured(6).toInt());
        const QWidget* control =
            name == window.objectName() ? &window : window.findChild<QWidget*>(name);
        if (!control) {
            mismatches << QStringLiteral("%1: no such control").arg(line);
            continue;
        }
        const QRect actual(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (actual != expected)
            mismatches << QStringLiteral("%1: the control sits at %2,%3 size %4x%5, the row says "
                                         "%6,%7 size %8x%9 (in pixels)")
                              .arg(line)
                              .arg(actual.x())
                              .arg(actual.y())
                              .arg(actual.width())
                              .arg(actual.height())
                              .arg(expected.x())
                              .arg(expected.y())
                              .arg(expected.width())
                              .arg(expected.height());
    }
    if (rows == 0)
        mismatches << QStringLiteral("no rows for %1 in %2").arg(windowName, path);
    return mismatches;
}
