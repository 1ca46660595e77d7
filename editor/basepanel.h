#pragma once

#include <QFrame>
#include <QPointF>
#include <QString>

#include <optional>

class QLineEdit;
class QPushButton;

namespace editor {

// The "BASE" panel: composes one base entry line from its controls.
class BasePanel : public QFrame {
    Q_OBJECT
public:
    explicit BasePanel(const QString& startFolder, QWidget* parent = nullptr);

    // The line "ADD BASE " would build, with x and y at a place of the map (whole numbers).
    // Nothing when the file box is empty; a failure is shown over messageParent.
    std::optional<QString> lineAt(QPointF place, QWidget* messageParent);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    void createControls();

    void bs1Clicked();
    std::optional<QString> buildLine(std::optional<QPointF> place, QWidget* messageParent);
    void bs8Clicked();

    QString m_startFolder;

    QPushButton* bs1 = nullptr;
    QLineEdit* bs3 = nullptr;
    QLineEdit* bs4 = nullptr;
    QLineEdit* bs5 = nullptr;
    QLineEdit* bs6 = nullptr;
    QLineEdit* bs7 = nullptr;
    QPushButton* bs8 = nullptr;
};

} // namespace editor
