#pragma once

#include "editor/leveldocument.h"

#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace editor {

class FindingsModel;
class FindingsPanel;
class LevelMapScene;
class LevelMapView;

// The "Level Map" window: the level being edited drawn as a map, live, and the findings of the
// level check below it. Clicking a marker or activating a finding selects its row in the level's
// one selection, as a click in the content list would; the selected row is highlighted on the
// map.
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

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void selectRow(int row);
    int listRow() const;
    void listSelectionChanged();
    void markersChanged();

    LevelDocument& m_document;
    LevelListModel& m_level;
    QString m_gameFolder;
    LevelMapScene* m_scene = nullptr;
    LevelMapView* m_view = nullptr;
    FindingsPanel* m_findings = nullptr;
    QLabel* m_legend = nullptr; // "mapLegend"
    QTimer m_checkTimer;
};

} // namespace editor
