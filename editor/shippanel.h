#pragma once

#include "randomsource.h"

#include <QFrame>
#include <QString>

// The "SHIP" panel: composes one ship entry line from its controls.
class ShipPanel : public QFrame {
    Q_OBJECT
public:
    ShipPanel(RandomSource& random, const QString& startFolder, QWidget* parent = nullptr);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    RandomSource& m_random;
    QString m_startFolder;
};
