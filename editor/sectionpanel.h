#pragma once

#include <QFrame>
#include <QString>

// The "USE SHP" and "WIN" panels: build a ship-file or win-file block line by line.
class SectionPanel : public QFrame {
    Q_OBJECT
public:
    enum class Kind { ShipFiles, WinFile };

    SectionPanel(Kind kind, const QString& startFolder, QWidget* parent = nullptr);

signals:
    // A finished level line; the window appends it at the end of the level.
    void lineBuilt(const QString& line);

private:
    Kind m_kind;
    QString m_startFolder;
};
