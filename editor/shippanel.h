#pragma once

#include "core/entrylines.h"
#include "core/randomsource.h"

#include <QFrame>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace editor {

class CompassLabel;

// The "SHIP" panel: composes one ship entry line from its controls.
class ShipPanel : public QFrame {
    Q_OBJECT
public:
    ShipPanel(level::RandomSource& random, const QString& startFolder, QWidget* parent = nullptr);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    void createControls();

    void s1Clicked();
    void reportConversionFailure(const level::ConversionFailure& failure);
    void s12Clicked();
    void s10Changed(int value);
    void so5Changed(int value);
    void so4Changed(const QString& text);
    void so7Changed(int value);

    level::RandomSource& m_random;
    QString m_startFolder;

    QPushButton* s1 = nullptr;
    QLineEdit* s2 = nullptr;
    QLineEdit* s3 = nullptr;
    QLineEdit* srnd1 = nullptr;
    QLineEdit* s4 = nullptr;
    QLineEdit* s5 = nullptr;
    QLineEdit* srnd2 = nullptr;
    CompassLabel* Label3 = nullptr;
    QLineEdit* s6 = nullptr;
    QLineEdit* s7 = nullptr;
    QLineEdit* s8 = nullptr;
    QLineEdit* s9 = nullptr;
    QScrollBar* s10 = nullptr;
    QRadioButton* so1 = nullptr;
    QLabel* s11 = nullptr;
    QPushButton* s12 = nullptr;
    QRadioButton* so2 = nullptr;
    QLineEdit* so4 = nullptr;
    QScrollBar* so5 = nullptr;
    QRadioButton* so3 = nullptr;
    QLineEdit* so6 = nullptr;
    QScrollBar* so7 = nullptr;
};

} // namespace editor
