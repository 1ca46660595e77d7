#pragma once

#include <QFrame>
#include <QString>

// The "BASE" panel: composes one base entry line from its controls.
class BasePanel : public QFrame {
    Q_OBJECT
public:
    explicit BasePanel(const QString& startFolder, QWidget* parent = nullptr);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    QString m_startFolder;
};
