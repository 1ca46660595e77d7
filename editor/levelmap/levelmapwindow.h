#pragma once

#include "core/entryedit.h"
#include "editor/document/leveldocument.h"
#include "editor/levelmap/levelmapview.h"
#include "editor/levelmap/mapedits.h"

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
// level check below it, with the teams' tally. Activating a finding chooses its row, as a click
// in the content list would; the current row is ringed on the map.
//
// The level is edited on the map too. The map's selection is the level's: the chosen rows that
// show a marker, so a row chosen in the content list is the map's selection and entries chosen
// on the map are chosen in the list. Every edit is one step of the document's history (see
// mapedits.h); the window wires the map's gestures and keys and its buttons to them: moving (a
// drag, the arrow keys), turning (Q, E), swapping the team (T), deleting (Delete), placing (a
// double-click: a ship from the ship panel's values, with Shift a base from the base panel's)
// and mirroring the selection for the other team about the centre cross (M or "Mirror").
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

    // The line of an entry at a place of the map, as the panel's add button would build it with
    // its x and y there (base: the base panel's, otherwise the ship panel's); nothing when the
    // panel builds none (it has said why).
    using Placer = std::function<std::optional<QString>(bool base, QPointF place)>;
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
    void connectView();
    void documentChanged(const DocumentChange& change);
    void selectRow(int row);
    void markersChanged();

    // Chooses the map's rows (the content list shows them), current among them (-1: none).
    void selectOnMap(const std::vector<int>& rows, int current);
    void markerClicked(int row, Qt::KeyboardModifiers modifiers);
    void bandDrawn(const QRectF& area, Qt::KeyboardModifiers modifiers);
    void selectAll();
    mapedits::Rows selection() const;
    void moveSelection(QPointF offset, MergeKind kind, bool continues);
    void turnSelection(int degrees, bool held);
    void swapSelectionTeam();
    void deleteSelection();
    void place(QPointF at, Qt::KeyboardModifiers modifiers);
    void centreOnBases();
    // The clipboard on the map: the map's selection copied as text, cut, pasted (at a place, or
    // where the rows say) or duplicated one grid step right and down.
    void clipboardAsked(LevelMapView::Clipboard what, bool atPointer, QPointF at);
    void showMenu(QPoint globalPos, QPointF at);
    void updateMirror();
    // False when an edit was refused (a message has said why).
    bool report(const mapedits::Outcome& outcome);
    void showNote(const QString& note);

    LevelDocument& m_document;
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
};

} // namespace editor
