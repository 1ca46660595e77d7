#pragma once

#include "core/entrylines.h"
#include "core/randomsource.h"

#include <QFrame>
#include <QPointF>
#include <QString>

#include <optional>

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

    // The line "ADD SHIP" would build, with x and y at a place of the map (whole numbers; the
    // random ranges apply as for the button, drawing from the same source). Nothing when the
    // panel gives no line; a failure is shown over messageParent.
    std::optional<QString> lineAt(QPointF place, QWidget* messageParent);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    void createControls();

    void s1Clicked();
    std::optional<QString> buildLine(std::optional<QPointF> place, QWidget* messageParent);
    void reportConversionFailure(const level::ConversionFailure& failure, QWidget* messageParent);
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
