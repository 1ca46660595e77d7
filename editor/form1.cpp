#include "editor/form1.h"

#include "core/diskfiles.h"
#include "core/filestamp.h"
#include "core/foldernames.h"
#include "core/levelfile.h"
#include "core/recovery.h"
#include "core/startfolder.h"
#include "editor/basepanel.h"
#include "editor/contentlist.h"
#include "editor/document/refusals.h"
#include "editor/filebrowser.h"
#include "editor/findfield.h"
#include "editor/form2.h"
#include "editor/launcher.h"
#include "editor/levelmap/levelmapwindow.h"
#include "editor/recoverykeeper.h"
#include "editor/sectionpanel.h"
#include "editor/shippanel.h"
#include "editor/tabstrip.h"
#include "widgets/geometry.h"
#include "widgets/keyboard.h"
#include "widgets/listframe.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

#include <utility>

#ifndef LEVELTOOLS_VERSION
#define LEVELTOOLS_VERSION "0.0.0"
#endif

namespace editor {

namespace {

// The window's client area: the layout's bottom row ends at 5175 twips, its right column at 8055.
constexpr int ClientWidthTwips = 8265;
constexpr int ClientHeightTwips = 5610;

// Panels lie on the tab strip's page, this far from its top-left corner.
constexpr int PanelOffsetLeft = 100;
constexpr int PanelOffsetTop = 400;

// The tabs, in their order on the strip.
constexpr const char* ShipTab = "SHIP";
constexpr const char* BaseTab = "BASE";
constexpr const char* WinTab = "WIN";
constexpr const char* UseShipTab = "USE SHP";

const QString VersionText = QStringLiteral("tessavor " LEVELTOOLS_VERSION);

// A step's name in a menu entry: an "&" is a letter, not a mnemonic.
QString menuText(const QString& prefix, const QString& step) {
    return step.isEmpty() ? prefix
                          : prefix + QLatin1Char(' ') +
                                QString(step).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

Form1::Form1(const QString& startFolder, QWidget* parent)
    : QWidget(parent)
    , m_startFolder(startFolder) {
    setObjectName(QStringLiteral("Form1"));
    widgets::useLayoutFont(this);
    createControls();
    createPanels();
    createHistoryActions();
    createFindActions();
    connectHandlers();
    form1Load();
    m_recovery = std::make_unique<RecoveryKeeper>(
        m_document, m_startFolder, [this] { return widgets::fromCorePath(m_levelFile.path()); });
    connect(m_recovery.get(), &RecoveryKeeper::failed, this, [this](const QString& message) {
        widgets::showWarning(this, QStringLiteral("The unsaved rows cannot be kept for a "
                                                  "recovery after a crash:\n%1")
                                       .arg(message));
    });
    connect(&m_levelFile, &LevelFileWatch::fileChanged, this, &Form1::levelFileChanged);
}

Form1::~Form1() {
    if (m_form2)
        m_form2->close();
}

QString Form1::recoveryFile() const {
    return m_recovery->path();
}

// A recovery of another start folder is not this editor's to offer; one that cannot be read is
// moved aside and said so in a line, and so is one that cannot be claimed. After a restore the
// others wait for the next start (the rows just restored would otherwise be replaced).
void Form1::offerRecoveries() {
    const auto folder = level::RecoveryFolder();
    if (!folder)
        return; // the keeper says so once it needs the folder
    auto claimed = level::ClaimAbandonedRecoveries(*folder);
    if (!claimed)
        return;
    QStringList unreadable;
    for (const auto& recovery : *claimed) {
        auto read = recovery->Read();
        if (!read) {
            const auto aside = recovery->SetAside();
            unreadable << QStringLiteral("%1 (moved aside to %2)")
                              .arg(widgets::toQString(read.error().Message()),
                                   aside ? widgets::fromCorePath(*aside)
                                         : widgets::fromCorePath(recovery->path()));
            continue;
        }
        if (QDir(widgets::fromCorePath(read->facts.startFolder)) != QDir(m_startFolder))
            continue; // another game's: offered when the editor starts there
        if (recovery->declined()) {
            (void)recovery->Remove(); // kept for one more start, which this is
            continue;
        }
        const QString file = widgets::fromCorePath(read->facts.levelFile);
        const QString name =
            file.isEmpty() ? QCoreApplication::applicationName() : QFileInfo(file).fileName();
        const QString when = QDateTime::fromSecsSinceEpoch(read->facts.writtenAt)
                                 .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        const QString question =
            QStringLiteral("%1 nicht gespeicherte Zeilen vom %2 wiederherstellen ?\n\nNein: sie "
                           "bleiben bis zum naechsten Start in %3 und werden dann geloescht.")
                .arg(read->rows.size())
                .arg(when, QDir::toNativeSeparators(widgets::fromCorePath(recovery->path())));
        if (!widgets::askYesNo(this, name, question, QMessageBox::Question)) {
            (void)recovery->Decline();
            continue;
        }
        level::LevelLineList rows;
        if (!rows.ReplaceLines(std::move(read->rows)))
            continue;
        // One step, unsaved: the level file on disk is left as it is until the user saves.
        m_document.replaceLines(std::move(rows), stepnames::restored(name));
        m_levelFile.forget();
        (void)recovery->Remove();
        break;
    }
    if (!unreadable.isEmpty())
        widgets::showWarning(this, QStringLiteral("A recovery file could not be read:\n") +
                                       unreadable.join(QLatin1Char('\n')));
}

void Form1::createControls() {
    m_browser = new FileBrowser(this, {{"Drive1", 120, 120, 2655, 315, 2},
                                       {"Dir1", 120, 510, 2655, 1440, 3},
                                       {"File1", 2880, 120, 2055, 1845, 1}});

    load = widgets::placed<QPushButton>(this, {"load", 5040, 360, 855, 255, 4},
                                        QStringLiteral("load"));
    add = widgets::placed<QPushButton>(this, {"add", 5040, 720, 855, 255, 7},
                                       QStringLiteral("add file"));
    del = widgets::placed<QPushButton>(this, {"del", 5040, 1080, 855, 255, 8},
                                       QStringLiteral("delete file"));
    save = widgets::placed<QPushButton>(this, {"save", 5040, 1440, 855, 255, 5},
                                        QStringLiteral("save"));

    Command3 = widgets::placed<QPushButton>(this, {"Command3", 6480, 360, 1455, 375, 53},
                                            QStringLiteral("Ship Editor"));
    Command4 = widgets::placed<QPushButton>(this, {"Command4", 6480, 840, 1455, 375, 54},
                                            QStringLiteral("Win Editor"));
    Command5 = widgets::placed<QPushButton>(this, {"Command5", 6480, 1320, 1455, 375, 55},
                                            QStringLiteral("Base Editor"));

    inhalt = widgets::placed<ContentList>(this, {"inhalt", 120, 2040, 4815, 2790, 6}, &m_document);

    TabStrip1 = widgets::placed<TabStrip>(this, {"TabStrip1", 5160, 2160, 2895, 2595, 0});
    for (const char* caption : {ShipTab, BaseTab, WinTab, UseShipTab})
        TabStrip1->addTab(QString::fromLatin1(caption));

    up = widgets::placed<QPushButton>(this, {"up", 120, 4920, 615, 255, 9}, QStringLiteral("up"));
    down = widgets::placed<QPushButton>(this, {"down", 840, 4920, 615, 255, 10},
                                        QStringLiteral("down"));
    Command2 = widgets::placed<QPushButton>(this, {"Command2", 1920, 4920, 735, 255, 16},
                                            QStringLiteral("freizeile"));
    Command1 = widgets::placed<QPushButton>(this, {"Command1", 2760, 4920, 735, 255, 57},
                                            QStringLiteral("del line"));
    clear = widgets::placed<QPushButton>(this, {"clear", 3960, 4920, 855, 255, 56},
                                         QStringLiteral("clear"));

    Label2 = widgets::placed<QLabel>(this, {"Label2", 5160, 4920, 2895, 255, 58}, VersionText);
    Label2->setAlignment(Qt::AlignCenter);
    modifiedChanged(false);

    // The file commands act on disk, outside the level's history.
    save->setToolTip(QStringLiteral("writes the level to disk; Ctrl+Z does not take it back"));
    add->setToolTip(QStringLiteral("creates a file on disk; Ctrl+Z does not take it back"));
    del->setToolTip(QStringLiteral("deletes the file from disk; Ctrl+Z does not take it back"));

    mapButton = widgets::placed<QPushButton>(this, {"mapButton", 6480, 1800, 1455, 300, 62},
                                             QStringLiteral("Level Map"));
    // What a screen reader calls the list.
    inhalt->setAccessibleName(QStringLiteral("level lines"));
    widgets::keepFrameOnTop(inhalt);
}

void Form1::createPanels() {
    ship = new ShipPanel(m_random, m_startFolder, this);
    base = new BasePanel(m_startFolder, this);
    winfile = new SectionPanel(SectionPanel::Kind::WinFile, m_startFolder, this);
    useship = new SectionPanel(SectionPanel::Kind::ShipFiles, m_startFolder, this);
    ship->setProperty("tabIndex", 32);
    base->setProperty("tabIndex", 24);
    winfile->setProperty("tabIndex", 11);
    useship->setProperty("tabIndex", 17);
    // At start the "SHIP" tab is selected: only its panel shows.
    base->hide();
    winfile->hide();
    useship->hide();
}

void Form1::createHistoryActions() {
    m_undoKeys = new QAction(this);
    m_undoKeys->setObjectName(QStringLiteral("undoKeys"));
    m_undoKeys->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoKeys = new QAction(this);
    m_redoKeys->setObjectName(QStringLiteral("redoKeys"));
    m_redoKeys->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addActions({m_undoKeys, m_redoKeys});

    // The menu's entries show the keys; the keys themselves are the actions above.
    m_undo = new QAction(this);
    m_undo->setObjectName(QStringLiteral("undo"));
    m_undo->setShortcut(m_undoKeys->shortcut());
    m_redo = new QAction(this);
    m_redo->setObjectName(QStringLiteral("redo"));
    m_redo->setShortcuts(m_redoKeys->shortcuts());
    for (QAction* entry : {m_undo, m_redo}) {
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setShortcutVisibleInContextMenu(true);
    }
    inhalt->setHistoryActions(m_undo, m_redo);
    historyChanged();
}

void Form1::createFindActions() {
    m_find = new FindField(m_document, this);
    // Over the bottom of the content list, its width.
    m_find->setGeometry(widgets::twipsRect(120, 2040 + 2790 - 330, 4815, 330));
    connect(m_find, &FindField::closed, this, [this] { inhalt->setFocus(); });
    const auto make = [this](const char* name, QKeySequence keys, auto run) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    make("findKeys", QKeySequence::Find, [this] { m_find->open(); });
    make("findNextKeys", QKeySequence(Qt::Key_F3), [this] { m_find->findNext(false); });
    make("findPreviousKeys", QKeySequence(Qt::SHIFT | Qt::Key_F3),
         [this] { m_find->findNext(true); });
}

void Form1::connectHandlers() {
    connect(TabStrip1, &QTabBar::currentChanged, this, &Form1::tabStrip1Clicked);
    connect(m_browser, &FileBrowser::fileListCharacterTyped, this, &Form1::file1KeyPressed);
    connect(load, &QPushButton::clicked, this, &Form1::loadClicked);
    connect(save, &QPushButton::clicked, this, &Form1::saveClicked);
    connect(add, &QPushButton::clicked, this, &Form1::addClicked);
    connect(del, &QPushButton::clicked, this, &Form1::delClicked);
    connect(Command1, &QPushButton::clicked, this, &Form1::command1Clicked);
    connect(Command2, &QPushButton::clicked, this, &Form1::command2Clicked);
    connect(up, &QPushButton::clicked, this, &Form1::upClicked);
    connect(down, &QPushButton::clicked, this, &Form1::downClicked);
    connect(clear, &QPushButton::clicked, this, &Form1::clearClicked);
    connect(inhalt, &ContentList::characterTyped, this, &Form1::inhaltKeyPressed);
    connect(inhalt, &ContentList::deletePressed, this, &Form1::command1Clicked);
    connect(Command3, &QPushButton::clicked, this, [this] { launch("drovnik.exe"); });
    connect(Command4, &QPushButton::clicked, this, [this] { launch("pelmasq.exe"); });
    connect(Command5, &QPushButton::clicked, this, [this] { launch("surrowen.exe"); });
    connect(mapButton, &QPushButton::clicked, this, &Form1::mapButtonClicked);
    connect(ship, &ShipPanel::lineBuilt, this, [this](const QString& line) {
        appendLine(line, stepnames::added(stepnames::Added::Ship));
    });
    connect(base, &BasePanel::lineBuilt, this, [this](const QString& line) {
        appendLine(line, stepnames::added(stepnames::Added::Base));
    });
    for (SectionPanel* panel : {winfile, useship})
        connect(panel, &SectionPanel::lineBuilt, this,
                [this](const QString& line) { appendLine(line, stepnames::addedLine(line)); });

    connect(m_undoKeys, &QAction::triggered, this, &Form1::undoKeyPressed);
    connect(m_redoKeys, &QAction::triggered, this, &Form1::redoKeyPressed);
    connect(m_undo, &QAction::triggered, this, [this] { m_document.undo(); });
    connect(m_redo, &QAction::triggered, this, [this] { m_document.redo(); });
    connect(&m_document, &LevelDocument::historyChanged, this, &Form1::historyChanged);
    connect(&m_document, &LevelDocument::modifiedChanged, this, &Form1::modifiedChanged);
}

// Start-up: the browser opens on the start folder, the panels lie on the tab strip's page.
void Form1::form1Load() {
    m_browser->open(m_startFolder);

    setFixedSize(widgets::twipsToPixels(ClientWidthTwips),
                 widgets::twipsToPixels(ClientHeightTwips));

    const QPoint panelPlace =
        TabStrip1->geometry().topLeft() +
        QPoint(widgets::twipsToPixels(PanelOffsetLeft), widgets::twipsToPixels(PanelOffsetTop));
    for (QWidget* panel : std::array<QWidget*, 4>{winfile, useship, base, ship}) {
        panel->move(panelPlace);
        panel->raise();
    }

    setWindowTitle(QStringLiteral("Level Editor / ") + m_startFolder);
    widgets::applyTabOrder(this);
    widgets::letEnterPressFocusedButtons(this);
    TabStrip1->setFocus();
}

bool Form1::appendLine(const QString& line, const QString& what, QWidget* messageParent) {
    if (m_document.addLine(widgets::toStdString(line), what))
        return true;
    widgets::showFailure(messageParent ? messageParent : this,
                         appendRefusal(m_document.lines().LineCount(), line));
    return false;
}

void Form1::tabStrip1Clicked() {
    const QString caption = TabStrip1->tabText(TabStrip1->currentIndex());
    const std::array<std::pair<QWidget*, const char*>, 4> panels{
        {{winfile, WinTab}, {useship, UseShipTab}, {base, BaseTab}, {ship, ShipTab}}};
    for (const auto& [panel, tab] : panels)
        panel->setVisible(caption == QLatin1String(tab));
}

void Form1::file1KeyPressed(int code) {
    setWindowTitle(QString::number(code));
}

std::optional<std::string> Form1::confirmSelectedFile(const QString& question,
                                                      QMessageBox::Icon icon) {
    if (!m_browser->hasSelectedFile())
        return std::nullopt;
    const std::string name = m_browser->selectedName();
    if (!widgets::askYesNo(this, m_browser->selectedFileName(), question, icon))
        return std::nullopt;
    return name;
}

void Form1::loadClicked() {
    const auto name = confirmSelectedFile(QStringLiteral("laden ?"));
    if (!name)
        return;
    loadLevel(m_browser->pathOf(*name), m_browser->selectedFileName());
}

// The rows are then as on disk: nothing unsaved, until the load itself is undone. A failed load
// keeps the rows there were.
void Form1::loadLevel(const std::string& path, const QString& name) {
    level::LevelLineList loaded;
    std::string bytes;
    if (auto read = level::LoadLevelFile(path, loaded, &bytes); !read) {
        widgets::showFailure(this, read.error());
        return;
    }
    m_document.replaceLines(std::move(loaded), stepnames::loaded(name));
    m_document.markSaved();
    m_levelFile.setFile(path, bytes);
}

void Form1::saveClicked() {
    const auto name = confirmSelectedFile(QStringLiteral("speichern ?"));
    if (!name)
        return;
    const std::string path = level::LevelsFolder(widgets::toCorePath(m_startFolder)) + *name;
    if (!confirmOverwriteChanged(path))
        return;
    std::string bytes;
    if (auto saved = level::SaveLevelFile(path, m_document.lines(), &bytes); !saved) {
        widgets::showFailure(this, saved.error());
        return;
    }
    m_document.markSaved();
    m_levelFile.setFile(path, bytes);
}

void Form1::addClicked() {
    if (!m_form2) {
        m_form2 =
            new Form2([this] { return m_browser->folder(); }, [this] { m_browser->refresh(); });
    }
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

// After Yes or No the file list is read again; with no file selected nothing happens, and after a
// failed delete nothing more.
void Form1::delClicked() {
    if (!m_browser->hasSelectedFile())
        return;
    if (const auto name =
            confirmSelectedFile(QStringLiteral("wirklich loeschen ?"), QMessageBox::Question)) {
        if (auto deleted = level::RemoveFile(m_browser->pathOf(*name)); !deleted) {
            widgets::showFailure(this, deleted.error());
            return;
        }
    }
    m_browser->refresh();
}

void Form1::command1Clicked() {
    if (m_document.currentRow() == LevelDocument::NoRow)
        return;
    setWindowTitle(QString::number(m_document.removeChosenLines()));
}

void Form1::command2Clicked() {
    appendLine(QString(), stepnames::added(stepnames::Added::EmptyRow));
}

void Form1::upClicked() {
    m_document.moveChosenUp();
}

void Form1::downClicked() {
    m_document.moveChosenDown();
}

void Form1::clearClicked() {
    m_document.clearLines();
}

void Form1::inhaltKeyPressed(int code) {
    if (code == 8)
        m_document.removeChosenLinesByKey();
}

QLineEdit* Form1::focusedTextBox() {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return box && !box->isReadOnly() ? box : nullptr;
}

// A text box takes Ctrl+Z and Ctrl+Shift+Z itself; Ctrl+Y, where the platform leaves it to the
// window, still redoes its typing there.
void Form1::undoKeyPressed() {
    if (QLineEdit* box = focusedTextBox())
        box->undo();
    else
        m_document.undo();
}

void Form1::redoKeyPressed() {
    if (QLineEdit* box = focusedTextBox())
        box->redo();
    else
        m_document.redo();
}

void Form1::historyChanged() {
    const History& history = m_document.history();
    m_undo->setText(menuText(QStringLiteral("Undo"), history.undoName()));
    m_undo->setEnabled(history.canUndo());
    m_redo->setText(menuText(QStringLiteral("Redo"), history.redoName()));
    m_redo->setEnabled(history.canRedo());
}

// The version text gets a mark, its tool tip says why; the window's title stays as it is.
void Form1::modifiedChanged(bool modified) {
    Label2->setText(modified ? VersionText + QStringLiteral(" *") : VersionText);
    Label2->setToolTip(modified ? QStringLiteral("unsaved changes")
                                : QStringLiteral("no unsaved changes"));
}

void Form1::mapButtonClicked() {
    if (!m_map) {
        m_map = std::make_unique<LevelMapWindow>(m_document, m_startFolder);
        m_map->addActions({m_undoKeys, m_redoKeys});
        m_map->setPlacer([this](bool isBase, QPointF place) {
            QWidget* over = m_map.get();
            return isBase ? base->lineAt(place, over) : ship->lineAt(place, over);
        });
    }
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}

// Unsaved rows are dropped only after a question (the close box, Alt+F4, the end of the session).
// The map window goes with the editor's window.
void Form1::closeEvent(QCloseEvent* event) {
    if (m_document.isModified() &&
        !widgets::askYesNo(this, levelName(),
                           QStringLiteral("nicht gespeichert, trotzdem schliessen ?"),
                           QMessageBox::Warning, QMessageBox::No)) {
        event->ignore();
        return;
    }
    if (m_map)
        m_map->close();
    QWidget::closeEvent(event);
}

// The recovery question waits for the first paint: by then the window manager has placed the
// window, so that the question opens over it.
void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (std::exchange(m_offerRecoveries, false))
        QTimer::singleShot(0, this, &Form1::offerRecoveries);
}

// Files may have changed while another window was active.
void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        levelFileChanged();
}

QString Form1::levelName() const {
    const std::string& path = m_levelFile.path();
    return path.empty() ? QCoreApplication::applicationName()
                        : widgets::toQString(level::NameForDisplay(level::LastPart(path)));
}

// A change is told once (also when the question is answered No); with unsaved rows nothing is
// said now, and a save onto the file asks first.
void Form1::levelFileChanged() {
    if (m_document.isModified() || QApplication::activeModalWidget() || !m_levelFile.newlyChanged())
        return;
    m_levelFile.told();
    const std::string path = m_levelFile.path();
    if (!level::StampFile(path).exists)
        return; // deleted: nothing to load; a save makes it again after its question
    if (!widgets::askYesNo(this, levelName(),
                           QStringLiteral("auf der Platte geaendert, neu laden ?")))
        return;
    loadLevel(path, levelName());
}

bool Form1::confirmOverwriteChanged(const std::string& path) {
    if (!m_levelFile.isFile(path) || !m_levelFile.changedOnDisk())
        return true;
    const bool gone = !level::StampFile(path).exists;
    return widgets::askYesNo(
        this, widgets::toQString(level::NameForDisplay(level::LastPart(path))),
        gone ? QStringLiteral("seit dem Laden auf der Platte geloescht, trotzdem speichern ?")
             : QStringLiteral("seit dem Laden auf der Platte geaendert, trotzdem ueberschreiben ?"),
        QMessageBox::Warning, QMessageBox::No);
}

void Form1::launch(const char* program) {
    if (auto started = startExternalEditor(m_startFolder + QString::fromLatin1(program)); !started)
        widgets::showFailure(this, started.error());
}

} // namespace editor
