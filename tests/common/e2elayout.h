#pragma once

// The end-to-end tests' table of the places they click (tests/e2e/layout.sh), checked against the
// windows themselves.

#include <QString>
#include <QStringList>
#include <QWidget>

// What differs between the table's rows of windowName ("editor", "selector") and window: one
// line for each row whose control sits elsewhere or is missing, or that cannot be read; one line
// too when the table has no row for the window. A row names a control of window by its object
// name, or window itself by its own (its client area).
QStringList e2eLayoutMismatches(const QWidget& window, const QString& windowName);
