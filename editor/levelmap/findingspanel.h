#pragma once

#include "core/levelcheck.h"

#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QModelIndex;
class QTreeView;

namespace editor {

class FindingsModel;

// The level check's part of the level map: the teams' tally ("teamTally") and a one-line summary
// ("findingsSummary") above the list of findings ("findings"). Activating a finding of a row
// asks for that row.
class FindingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit FindingsPanel(QWidget* parent = nullptr);

    // Shows the report of a check; lookupFailure, when not empty, says why files could not be
    // looked up.
    void setReport(level::LevelReport report, const QString& lookupFailure);
    const FindingsModel& model() const { return *m_model; }

signals:
    // A finding of a row was activated (row 0-based).
    void rowActivated(int row);

private:
    void findingActivated(const QModelIndex& index);

    FindingsModel* m_model = nullptr;
    QTreeView* m_view = nullptr; // "findings"
    QLabel* m_summary = nullptr; // "findingsSummary"
    QLabel* m_tally = nullptr;   // "teamTally"
};

} // namespace editor
