#pragma once

#include "core/entryedit.h"
#include "editor/leveldocument.h"

#include <QPointF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace editor {

class FindingsModel;
class FindingsPanel;
class LevelMapScene;
class LevelMapView;

// The "Level Map" window: the level being edited drawn as a map, live, and the findings of the
// level check below it, with the teams' tally. Activating a finding selects its row in the
// level's one selection, as a click in the content list would; the selected row is highlighted
// on the map.
//
// The level is edited on the map too. The map's selection is a set of entries; its current
// entry's row is the one selected in the content list, and selecting a row there makes its
// entry the map's whole selection. Every edit is one step of the document's history: moving
// (a drag, the arrow keys), turning (Q, E), swapping the team (T), deleting (Delete), placing
// (a double-click: a ship from the ship panel's values, with Shift a base from the base
// panel's) and mirroring the selection for the other team about the centre cross (M or
// "Mirror").
class LevelMapWindow : public QWidget {
    Q_OBJECT
public:
    // level: the level being edited; gameFolder: the folder in which the files the level names
    // are looked up (the start folder).
    LevelMapWindow(LevelDocument& level, const QString& gameFolder);
    ~LevelMapWindow() override;

    LevelMapView* view() const { return m_view; }
    LevelMapScene* scene() const { return m_scene; }
    const FindingsModel& findings() const;
    // Checks the level at once. Otherwise a check follows each change of the level a moment
    // later, so that a burst of changes (a held key) is checked once.
    void checkNow();

    // Appends an entry at a place of the map, as the panel's add button would with its x and y
    // there (base: the base panel's, otherwise the ship panel's); false when no row was added
    // (the panel has said why).
    using Placer = std::function<bool(bool base, QPointF place)>;
    void setPlacer(Placer placer) { m_placer = std::move(placer); }

    // The mirror's mode and centre; the centre follows the middle of all entries until it is
    // dragged or put on the bases.
    level::MirrorMode mirrorMode() const;
    QPointF mirrorCentre() const;
    // Mirrors the selection for the other team, as M and "Mirror" do.
    void mirrorSelection();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void selectRow(int row);
    int listRow() const;
    void listSelectionChanged();
    void markersChanged();

    // The map's selection, and the row the content list shows as the current one (-1: none).
    void selectOnMap(const std::vector<int>& rows, int current);
    void markerClicked(int row, Qt::KeyboardModifiers modifiers);
    void bandDrawn(const QRectF& area, Qt::KeyboardModifiers modifiers);
    void selectAll();
    // Gives each selected entry's row the text edit makes of it, as one step named by verb and
    // things ("move", "entries"); the entries edit leaves alone are counted by why.
    using RowEdit = std::function<level::EntryEdit(std::string_view row)>;
    struct EditOutcome {
        int changed = 0;
        int notShips = 0;
        int notNumbers = 0;
        int noTeam = 0;
        int beyond = 0; // would leave the range of numbers
    };
    EditOutcome editSelected(const RowEdit& edit, const QString& verb, const QString& things,
                             int kind, bool continues);
    void moveSelection(QPointF offset, int kind, bool continues);
    void turnSelection(int degrees, bool held);
    void swapSelectionTeam();
    void deleteSelection();
    void place(QPointF at, Qt::KeyboardModifiers modifiers);
    void centreOnBases();
    void updateMirror();
    void showNote(const QString& note);

    LevelDocument& m_document;
    LevelListModel& m_level;
    QString m_gameFolder;
    LevelMapScene* m_scene = nullptr;
    LevelMapView* m_view = nullptr;
    FindingsPanel* m_findings = nullptr;
    QLabel* m_legend = nullptr;             // "mapLegend"
    QLabel* m_note = nullptr;               // "mapNote"
    QPushButton* m_mirrorButton = nullptr;  // "mirrorButton"
    QComboBox* m_mirrorMode = nullptr;      // "mirrorMode"
    QPushButton* m_centreOnBases = nullptr; // "centreOnBases"
    QPushButton* m_snapButton = nullptr;    // "snapButton"
    QTimer m_checkTimer;
    Placer m_placer;
    // The centre the user put the cross on; none while it follows the entries.
    std::optional<QPointF> m_placedCentre;
    // While the map selects a row in the content list, the list's echo is not taken back.
    bool m_selecting = false;
};

} // namespace editor
