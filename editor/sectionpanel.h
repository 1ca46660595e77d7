#pragma once

#include <QFrame>
#include <QString>

#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

namespace editor {

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
    void createControls();
    // The opening marker of the panel's block: "[shipfiles]" or "[winfile]".
    std::string_view marker() const;

    // The same handlers serve us1..us5 and wf1..wf5.
    void markerClicked();   // us1, wf1: the opening marker
    void endClicked();      // us3, wf3: the end marker
    void nameLineClicked(); // us2, wf2: the name field as a file-name line
    void browseClicked();   // us5, wf5: fill the name field from the open-file dialog

    Kind m_kind;
    QString m_startFolder;

    QPushButton* m_marker = nullptr;   // us1 / wf1
    QPushButton* m_nameLine = nullptr; // us2 / wf2
    QPushButton* m_end = nullptr;      // us3 / wf3
    QLineEdit* m_name = nullptr;       // us4 / wf4
    QPushButton* m_browse = nullptr;   // us5 / wf5
    QLabel* Label1 = nullptr;          // the ship-file panel's explanation
};

} // namespace editor
