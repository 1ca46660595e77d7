#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <string>

namespace selector {

// The level selector's window: the user picks a level file with "..." and "save" writes its
// name into the level choice file levels/uselev.lst, confirms the write and ends the program.
//
// Ending: the window is a tool window that still counts as the application's last window
// (Qt::WA_QuitOnClose), so closing it, by its close box or after a successful save, ends the
// event loop of QApplication::exec() and with it the program.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // startFolder: the working folder at program start followed by one separator.
    explicit Form1(const std::string& startFolder, QWidget* parent = nullptr);

private:
    void createControls();
    void centreOnScreen();
    void showLevel(const QString& name);

    void command3Clicked(); // "...": choose a level file
    void command1Clicked(); // "save": write the level choice file, confirm, end

    std::string m_startFolder;

    QLabel* Label1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace selector
