#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace editor {

// The small "add new file ?" window: the user types the name of a new, empty level file, which
// is created in the folder the directory list shows when "OK" is pressed. Escape in the name
// field acts as "OK"; Enter there does nothing (Enter presses a button only while it has the
// focus). It closes (and is deleted) after OK or CANCEL.
class Form2 : public QWidget {
    Q_OBJECT
public:
    // folder: gives the directory list's folder at the moment of "OK".
    // created: called after a file was made (or already existed), to refresh the file list.
    Form2(std::function<QString()> folder, std::function<void()> created);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void fitTitle();
    void command1Clicked();
    void command2Clicked();

    std::function<QString()> m_folder;
    std::function<void()> m_created;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};

} // namespace editor
