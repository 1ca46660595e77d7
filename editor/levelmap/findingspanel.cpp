#include "editor/levelmap/findingspanel.h"

#include "editor/levelmap/findingsmodel.h"
#include "widgets/qtpath.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

QString counted(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

FindingsPanel::FindingsPanel(QWidget* parent)
    : QWidget(parent)
    , m_model(new FindingsModel(this))
    , m_view(new QTreeView)
    , m_summary(new QLabel)
    , m_tally(new QLabel) {
    m_view->setObjectName(QStringLiteral("findings"));
    m_view->setAccessibleName(QStringLiteral("Findings of the level check"));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(FindingsModel::RowColumn,
                           m_view->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                               m_view->iconSize().width() + 28);
    m_summary->setObjectName(QStringLiteral("findingsSummary"));
    m_summary->setWordWrap(true);
    m_tally->setObjectName(QStringLiteral("teamTally"));
    m_tally->setWordWrap(true);
    m_tally->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(m_tally);
    layout->addWidget(m_summary);
    layout->addWidget(m_view, 1);

    connect(m_view, &QAbstractItemView::activated, this, &FindingsPanel::findingActivated);
}

void FindingsPanel::setReport(level::LevelReport report, const QString& lookupFailure) {
    m_tally->setText(widgets::toQString(level::TallyText(report.tally)));
    m_model->setFindings(std::move(report.findings));
    const auto& found = m_model->findings();
    const auto tally = [&found](level::Finding::Severity severity) {
        return static_cast<std::size_t>(
            std::count_if(found.begin(), found.end(), [severity](const level::Finding& finding) {
                return finding.severity == severity;
            }));
    };
    const std::size_t errors = tally(level::Finding::Severity::Error);
    const std::size_t warnings = tally(level::Finding::Severity::Warning);
    const std::size_t notes = tally(level::Finding::Severity::Note);
    QString summary = errors + warnings == 0
                          ? QStringLiteral("Level check: no errors or warnings")
                          : QStringLiteral("Level check: %1, %2")
                                .arg(counted(errors, "error", "errors"),
                                     counted(warnings, "warning", "warnings"));
    if (notes > 0)
        summary += QStringLiteral(", ") + counted(notes, "note", "notes");
    summary += QLatin1Char('.');
    if (!lookupFailure.isEmpty())
        summary += QStringLiteral(" Files are not looked up: ") + lookupFailure + QLatin1Char('.');
    m_summary->setText(summary);
}

void FindingsPanel::findingActivated(const QModelIndex& index) {
    if (const level::Finding* finding = m_model->finding(index); finding && finding->row > 0)
        emit rowActivated(finding->row - 1);
}

} // namespace editor
