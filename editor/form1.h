#pragma once

#include "core/randomsource.h"
#include "editor/document/leveldocument.h"
#include "editor/levelfilewatch.h"

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

class QAction;
class QLineEdit;

namespace editor {

class BasePanel;
class ContentList;
class FileBrowser;
class FindField;
class Form2;
class LevelMapWindow;
class RecoveryKeeper;
class SectionPanel;
class ShipPanel;
class TabStrip;

// The level editor's main window: the file browser and file buttons, the launchers of the game's
// other editors, the content list with its buttons, and the four panels behind the tab strip.
// It owns the level document (shown by the content list and the level map), the start folder and
// the one random source. Ctrl+Z undoes a change of the level, Ctrl+Shift+Z and Ctrl+Y redo it,
// here and in the level map, except in a text box, which undoes its own typing.
//
// No work is lost: unsaved rows are kept in a recovery file (RecoveryKeeper) and offered again
// after a crash (offerRecoveries); closing the window with unsaved rows asks first; a level file
// changed on disk since it was loaded is offered for loading again while the rows are unchanged,
// and a save onto it asks first while they are not.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // startFolder: the working folder at program start with one trailing separator.
    explicit Form1(const QString& startFolder, QWidget* parent = nullptr);
    ~Form1() override;

    QString startFolder() const { return m_startFolder; }
    // Offers the rows that editors of this start folder left behind when they ended without
    // saving (crashed), newest first: each question restores them (one step, unsaved) or keeps
    // them for one more start. Run once the window shows.
    void offerRecoveries();
    // The same, once the window is first drawn: only then does it stand where the window system
    // put it, so that the questions open over it.
    void offerRecoveriesOnceDrawn() { m_offerRecoveries = true; }
    // The recovery file of this editor's unsaved rows, once written.
    QString recoveryFile() const;
    // The level being edited.
    LevelDocument& level() { return m_document; }
    const level::LevelLineList& lines() const { return m_document.lines(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void createPanels();
    void connectHandlers();
    void form1Load();

    void createHistoryActions();
    // Ctrl+F opens the find field, F3 and Shift+F3 go on finding.
    void createFindActions();

    // Appends a finished line at the end of the level as the step what; a full level is reported.
    // Appends a row as one step; false, with a message over messageParent (this window when
    // none), when the level is full or no memory is left.
    bool appendLine(const QString& line, const QString& what, QWidget* messageParent = nullptr);
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
    void undoKeyPressed();
    void redoKeyPressed();
    void historyChanged();
    void modifiedChanged(bool modified);
    // The text box that has the focus, if it can be typed into: it keeps its own undo.
    static QLineEdit* focusedTextBox();
    void launch(const char* program);
    // Loads the level file as one step named after name.
    void loadLevel(const std::string& path, const QString& name);
    // The level file was changed on disk by someone else (the watcher, or the window became
    // active again): while the rows are unchanged, loading it again is offered.
    void levelFileChanged();
    // Before a save onto the level file the rows came from: when it changed on disk since, asks
    // whether to write over it; false for any answer but Yes.
    bool confirmOverwriteChanged(const std::string& path);
    // The name of the level for questions: its file's, or the program's for rows from nowhere.
    QString levelName() const;

    QString m_startFolder;
    LevelDocument m_document;
    level::RandomSource m_random;
    QPointer<Form2> m_form2;
    // Made at the first click on mapButton; it shows m_document, so it goes first.
    std::unique_ptr<LevelMapWindow> m_map;
    LevelFileWatch m_levelFile;
    std::unique_ptr<RecoveryKeeper> m_recovery;
    bool m_offerRecoveries = false; // at the first paint (offerRecoveriesOnceDrawn)
    // The keys, always on, in this window and the map's; and the menu's entries "Undo <step>" and
    // "Redo <step>", greyed when there is none.
    QAction* m_undoKeys = nullptr;
    QAction* m_redoKeys = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;

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
    FindField* m_find = nullptr; // "findField"
    QPushButton* mapButton = nullptr;
};

} // namespace editor
