#pragma once

#include "core/randomsource.h"
#include "editor/levellistmodel.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace editor {

class BasePanel;
class ContentList;
class FileBrowser;
class Form2;
class LevelMapWindow;
class SectionPanel;
class ShipPanel;
class TabStrip;

// The level editor's main window: the file browser and file buttons, the launchers of the game's
// other editors, the content list with its buttons, and the four panels behind the tab strip.
// It owns the level (shown by the content list), the start folder and the one random source.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // startFolder: the working folder at program start with one trailing separator.
    explicit Form1(const QString& startFolder, QWidget* parent = nullptr);
    ~Form1() override;

    QString startFolder() const { return m_startFolder; }
    // The level being edited.
    LevelListModel& level() { return m_level; }
    const level::LevelLineList& lines() const { return m_level.lines(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createPanels();
    void connectHandlers();
    void form1Load();

    // Appends a finished line at the end of the level; a full level is reported.
    void appendLine(const QString& line);
    // The selected level file's name once the user answered Yes to question about it; nothing
    // when no file is selected (then nothing is asked) or for any other answer.
    std::optional<std::string> confirmSelectedFile(const QString& question,
                                                   QMessageBox::Icon icon = QMessageBox::NoIcon);

    void tabStrip1Clicked();
    void file1KeyPressed(int code);
    void loadClicked();
    void saveClicked();
    void addClicked();
    void delClicked();
    void command1Clicked();
    void command2Clicked();
    void upClicked();
    void downClicked();
    void clearClicked();
    void inhaltKeyPressed(int code);
    void mapButtonClicked();
    void launch(const char* program);

    QString m_startFolder;
    LevelListModel m_level;
    level::RandomSource m_random;
    QPointer<Form2> m_form2;
    // Made at the first click on mapButton; it shows m_level and inhalt, so it goes first.
    std::unique_ptr<LevelMapWindow> m_map;

    // Drive1, Dir1 and File1.
    FileBrowser* m_browser = nullptr;
    QPushButton* load = nullptr;
    QPushButton* add = nullptr;
    QPushButton* del = nullptr;
    QPushButton* save = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    ContentList* inhalt = nullptr;
    TabStrip* TabStrip1 = nullptr;
    ShipPanel* ship = nullptr;
    BasePanel* base = nullptr;
    SectionPanel* winfile = nullptr;
    SectionPanel* useship = nullptr;
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* clear = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* mapButton = nullptr;
};

} // namespace editor
