#include "editor/levelmap/levelmapwindow.h"

#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "editor/levelmap/findingspanel.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "widgets/qtpath.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace editor {

namespace {

// A level's rows are checked this long after the last change.
constexpr int CheckDelayMs = 100;

QString colourSpan(const QColor& colour, const QString& text) {
    return QStringLiteral("<span style=\"color:%1\">%2</span>").arg(colour.name(), text);
}

} // namespace

LevelMapWindow::LevelMapWindow(LevelDocument& document, const QString& gameFolder)
    : m_document(document)
    , m_level(document.model())
    , m_gameFolder(gameFolder) {
    setObjectName(QStringLiteral("levelMap"));
    setWindowTitle(QStringLiteral("Level Map"));
    createControls();

    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(CheckDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &LevelMapWindow::checkNow);
    // A hidden map checks nothing; showing it checks at once.
    const auto recheck = [this] {
        if (isVisible())
            m_checkTimer.start();
    };
    connect(&m_level, &QAbstractItemModel::rowsInserted, this, recheck);
    connect(&m_level, &QAbstractItemModel::rowsRemoved, this, recheck);
    connect(&m_level, &QAbstractItemModel::dataChanged, this, recheck);
    connect(&m_level, &QAbstractItemModel::modelReset, this, recheck);

    // A level loaded (or cleared) is shown whole, as when the map opens.
    connect(&m_level, &QAbstractItemModel::modelReset, m_view, &LevelMapView::fitAll);
    connect(m_scene, &LevelMapScene::markersChanged, this, &LevelMapWindow::markersChanged);
    connect(m_view, &LevelMapView::markerClicked, this, &LevelMapWindow::selectRow);
    connect(document.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LevelMapWindow::listSelectionChanged);
    connect(m_findings, &FindingsPanel::rowActivated, this, &LevelMapWindow::selectRow);
    m_scene->setHighlightedRow(listRow());
}

LevelMapWindow::~LevelMapWindow() = default;

const FindingsModel& LevelMapWindow::findings() const {
    return m_findings->model();
}

void LevelMapWindow::createControls() {
    m_scene = new LevelMapScene(m_level, this);
    m_view = new LevelMapView(m_scene);
    m_view->setObjectName(QStringLiteral("mapView"));
    m_view->setAccessibleName(QStringLiteral("Level map"));

    m_legend = new QLabel;
    m_legend->setObjectName(QStringLiteral("mapLegend"));
    const QString triangle = QStringLiteral("\u25B2");
    const QString space = QStringLiteral("&nbsp;&nbsp;&nbsp;");
    m_legend->setText(
        colourSpan(markercolours::teamOne, triangle) + QStringLiteral(" team 1") + space +
        colourSpan(markercolours::teamTwo, triangle) + QStringLiteral(" team 2") + space +
        colourSpan(markercolours::otherTeam, triangle) + QStringLiteral(" other team") + space +
        colourSpan(markercolours::otherTeam, QStringLiteral("\u25CF")) +
        QStringLiteral(" no heading") + space +
        colourSpan(markercolours::base, QStringLiteral("\u25A0")) + QStringLiteral(" base"));
    auto* hint = new QLabel(QStringLiteral("wheel, + and \u2212 zoom \u00B7 drag pans \u00B7 "
                                           "Home shows all \u00B7 x grows rightward, y downward"));
    hint->setObjectName(QStringLiteral("mapHint"));
    QPalette quiet = hint->palette();
    quiet.setColor(QPalette::WindowText, QColor(0x6a, 0x72, 0x7d));
    hint->setPalette(quiet);
    hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // no bar to narrowing

    auto* legendRow = new QHBoxLayout;
    legendRow->setContentsMargins(8, 4, 8, 4);
    legendRow->addWidget(m_legend);
    legendRow->addWidget(hint, 1);

    auto* mapPart = new QWidget;
    auto* mapLayout = new QVBoxLayout(mapPart);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    mapLayout->setSpacing(0);
    mapLayout->addWidget(m_view, 1);
    mapLayout->addLayout(legendRow);

    m_findings = new FindingsPanel;

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(mapPart);
    splitter->addWidget(m_findings);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(900, 680);
    splitter->setSizes({520, 160});
    m_view->setFocus();
}

void LevelMapWindow::checkNow() {
    m_checkTimer.stop();
    const auto files = level::FolderFiles::Read(widgets::toCorePath(m_gameFolder));
    const level::FileLookup lookup = [&files](const std::string& name) {
        return files ? files->Lookup(name) : level::FilePresence::Exists;
    };
    m_findings->setFindings(level::CheckLevel(m_level.lines().Lines(), lookup),
                            files ? QString() : widgets::toQString(files.error().Message()));
}

void LevelMapWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    checkNow();
    m_view->fitAll();
    m_view->setFocus();
}

// Files may have come or gone while another window was active.
void LevelMapWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_checkTimer.start();
}

// As a click on the row in the content list: it is selected, and the list scrolls it into view.
void LevelMapWindow::selectRow(int row) {
    if (m_level.index(row).isValid())
        m_document.selectLine(static_cast<LevelListModel::Index>(row));
}

int LevelMapWindow::listRow() const {
    const QModelIndexList selected = m_document.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void LevelMapWindow::listSelectionChanged() {
    const int row = listRow();
    m_scene->setHighlightedRow(row);
    if (const MapMarker* marker = m_scene->marker(row))
        m_view->bringIntoView(marker->position);
}

// Rows may have moved under the selection.
void LevelMapWindow::markersChanged() {
    m_scene->setHighlightedRow(listRow());
}

} // namespace editor
