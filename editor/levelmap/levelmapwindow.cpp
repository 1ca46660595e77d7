#include "editor/levelmap/levelmapwindow.h"

#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "editor/levelmap/findingspanel.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

// A level's rows are checked this long after the last change.
constexpr int CheckDelayMs = 100;

// The kinds of steps that merge while their key is held.
enum StepKind { NudgeStep = 1, TurnStep = 2 };

using Index = LevelListModel::Index;

// A step's name: "move row 12" for one row, "move 3 entries" for more.
QString stepText(const QString& verb, const QString& things, const std::vector<Index>& rows) {
    return rows.size() == 1 ? QStringLiteral("%1 row %2").arg(verb).arg(rows.front() + 1)
                            : QStringLiteral("%1 %2 %3").arg(verb).arg(rows.size()).arg(things);
}

QString counted(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString number(qreal value) {
    return QString::number(value, 'g', 10);
}

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
    connect(document.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LevelMapWindow::listSelectionChanged);
    connect(m_findings, &FindingsPanel::rowActivated, this, &LevelMapWindow::selectRow);

    // The map's gestures and keys.
    connect(m_view, &LevelMapView::markerClicked, this, &LevelMapWindow::markerClicked);
    connect(m_view, &LevelMapView::markerGrabbed, this,
            [this](int row) { selectOnMap({row}, row); });
    connect(m_view, &LevelMapView::emptyClicked, this, [this] { selectOnMap({}, -1); });
    connect(m_view, &LevelMapView::escapePressed, this, [this] { selectOnMap({}, -1); });
    connect(m_view, &LevelMapView::bandDrawn, this, &LevelMapWindow::bandDrawn);
    connect(m_view, &LevelMapView::selectAllAsked, this, &LevelMapWindow::selectAll);
    connect(m_view, &LevelMapView::dragFinished, this,
            [this](QPointF offset) { moveSelection(offset, LevelDocument::NoMerge, false); });
    connect(m_view, &LevelMapView::nudgeAsked, this,
            [this](QPointF offset, bool held) { moveSelection(offset, NudgeStep, held); });
    connect(m_view, &LevelMapView::turnAsked, this, &LevelMapWindow::turnSelection);
    connect(m_view, &LevelMapView::teamSwapAsked, this, &LevelMapWindow::swapSelectionTeam);
    connect(m_view, &LevelMapView::deleteAsked, this, &LevelMapWindow::deleteSelection);
    connect(m_view, &LevelMapView::mirrorAsked, this, &LevelMapWindow::mirrorSelection);
    connect(m_view, &LevelMapView::placeAsked, this, &LevelMapWindow::place);
    connect(m_view, &LevelMapView::centreDragged, this, [this](QPointF centre) {
        m_placedCentre = centre;
        updateMirror();
    });
    connect(m_view, &LevelMapView::snapChanged, m_snapButton, &QPushButton::setChecked);
    connect(m_snapButton, &QPushButton::toggled, m_view, &LevelMapView::setSnap);
    connect(m_mirrorButton, &QPushButton::clicked, this, &LevelMapWindow::mirrorSelection);
    connect(m_centreOnBases, &QPushButton::clicked, this, &LevelMapWindow::centreOnBases);
    connect(m_mirrorMode, &QComboBox::currentIndexChanged, this, [this] {
        updateMirror();
        m_view->setFocus();
    });
    // A new level: the centre follows its entries again.
    connect(&m_level, &QAbstractItemModel::modelReset, this, [this] {
        m_placedCentre.reset();
        updateMirror();
    });

    m_scene->setHighlightedRow(listRow());
    listSelectionChanged();
    updateMirror();
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
    auto* hint = new QLabel(QStringLiteral(
        "wheel zooms \u00B7 middle-drag pans \u00B7 Home shows all \u00B7 y grows downward"));
    hint->setObjectName(QStringLiteral("mapHint"));
    hint->setToolTip(QStringLiteral(
        "The wheel, + and \u2212 zoom; the middle button or Space+drag pans; Home shows "
        "all.\nClick a marker to select it, Ctrl+click to add or remove it, drag on empty map to "
        "select the markers inside.\nDrag the selection, or move it with the arrow keys (Shift: "
        "10 units); G snaps to the grid.\nQ and E turn ships by 15\u00B0, T swaps their team, "
        "Delete removes the selection, Escape clears it, Ctrl+A selects all.\nDouble-click "
        "places a ship from the SHIP panel, Shift+double-click a base from the BASE panel.\nM "
        "mirrors the selection for the other team about the centre cross, which can be "
        "dragged."));
    QPalette quiet = hint->palette();
    quiet.setColor(QPalette::WindowText, QColor(0x6a, 0x72, 0x7d));
    hint->setPalette(quiet);
    hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // no bar to narrowing

    auto* legendRow = new QHBoxLayout;
    legendRow->setContentsMargins(8, 4, 8, 4);
    legendRow->addWidget(m_legend);
    legendRow->addWidget(hint, 1);

    // The tools: the mirror and its centre, snapping; they leave the keyboard with the map.
    m_mirrorButton = new QPushButton(QStringLiteral("Mirror"));
    m_mirrorButton->setObjectName(QStringLiteral("mirrorButton"));
    m_mirrorButton->setToolTip(
        QStringLiteral("Add a copy of each selected entry for the other team, mirrored about the "
                       "centre cross (M)"));
    m_mirrorMode = new QComboBox;
    m_mirrorMode->setObjectName(QStringLiteral("mirrorMode"));
    m_mirrorMode->setAccessibleName(QStringLiteral("mirror mode"));
    m_mirrorMode->addItem(QStringLiteral("point symmetry"),
                          static_cast<int>(level::MirrorMode::Point));
    m_mirrorMode->addItem(QStringLiteral("left \u2194 right"),
                          static_cast<int>(level::MirrorMode::LeftRight));
    m_mirrorMode->addItem(QStringLiteral("top \u2194 bottom"),
                          static_cast<int>(level::MirrorMode::TopBottom));
    m_centreOnBases = new QPushButton(QStringLiteral("centre on bases"));
    m_centreOnBases->setObjectName(QStringLiteral("centreOnBases"));
    m_centreOnBases->setToolTip(QStringLiteral("Put the centre cross in the middle of the bases"));
    m_snapButton = new QPushButton(QStringLiteral("snap to grid"));
    m_snapButton->setObjectName(QStringLiteral("snapButton"));
    m_snapButton->setCheckable(true);
    m_snapButton->setToolTip(QStringLiteral("Move and place on the grid lines shown (G)"));
    for (QWidget* tool : std::initializer_list<QWidget*>{m_mirrorButton, m_mirrorMode,
                                                         m_centreOnBases, m_snapButton})
        tool->setFocusPolicy(Qt::TabFocus);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("mapNote"));
    m_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* toolRow = new QHBoxLayout;
    toolRow->setContentsMargins(8, 4, 8, 0);
    toolRow->addWidget(m_mirrorButton);
    toolRow->addWidget(m_mirrorMode);
    toolRow->addWidget(m_centreOnBases);
    toolRow->addSpacing(12);
    toolRow->addWidget(m_snapButton);
    toolRow->addSpacing(12);
    toolRow->addWidget(m_note, 1);

    auto* mapPart = new QWidget;
    auto* mapLayout = new QVBoxLayout(mapPart);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    mapLayout->setSpacing(0);
    mapLayout->addWidget(m_view, 1);
    mapLayout->addLayout(toolRow);
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
    m_findings->setReport(level::CheckLevelAndTeams(m_level.lines().Lines(), lookup),
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

// Files may have come or gone while another window was active. The keys go to the map.
void LevelMapWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_checkTimer.start();
        m_view->setFocus(Qt::ActiveWindowFocusReason);
    }
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

// A row chosen in the content list (or by a step of the history) becomes the map's whole
// selection; one the map chose itself leaves the map's selection as it is.
void LevelMapWindow::listSelectionChanged() {
    const int row = listRow();
    m_scene->setHighlightedRow(row);
    if (m_selecting)
        return;
    const MapMarker* marker = m_scene->marker(row);
    m_scene->setSelectedRows(marker ? std::vector<int>{row} : std::vector<int>{});
    if (marker)
        m_view->bringIntoView(marker->position);
}

// Rows may have moved under the selection; a centre that follows the entries follows them.
void LevelMapWindow::markersChanged() {
    m_scene->setHighlightedRow(listRow());
    if (!m_placedCentre)
        updateMirror();
}

void LevelMapWindow::selectOnMap(const std::vector<int>& rows, int current) {
    m_scene->setSelectedRows(rows);
    m_selecting = true;
    m_document.selectLine(static_cast<Index>(m_level.index(current).isValid() ? current : -1));
    m_selecting = false;
}

void LevelMapWindow::markerClicked(int row, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier)) {
        selectOnMap({row}, row);
        return;
    }
    std::vector<int> rows = m_scene->selectedRows();
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    int current = row;
    if (at != rows.end() && *at == row) {
        rows.erase(at);
        current = listRow() != row ? listRow() : rows.empty() ? -1 : rows.back();
    } else {
        rows.insert(at, row);
    }
    selectOnMap(rows, current);
}

void LevelMapWindow::bandDrawn(const QRectF& area, Qt::KeyboardModifiers modifiers) {
    std::vector<int> rows = m_scene->rowsIn(area);
    if (modifiers & Qt::ControlModifier) {
        std::vector<int> joined;
        const std::vector<int> before = m_scene->selectedRows();
        std::set_union(before.begin(), before.end(), rows.begin(), rows.end(),
                       std::back_inserter(joined));
        rows = std::move(joined);
    }
    const bool keepsCurrent = std::binary_search(rows.begin(), rows.end(), listRow());
    selectOnMap(rows, keepsCurrent ? listRow() : rows.empty() ? -1 : rows.front());
}

void LevelMapWindow::selectAll() {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(m_scene->markers().size()); ++row)
        if (m_scene->marker(row))
            rows.push_back(row);
    const bool keepsCurrent = std::binary_search(rows.begin(), rows.end(), listRow());
    selectOnMap(rows, keepsCurrent ? listRow() : rows.empty() ? -1 : rows.front());
}

LevelMapWindow::EditOutcome LevelMapWindow::editSelected(const RowEdit& edit, const QString& verb,
                                                         const QString& things, int kind,
                                                         bool continues) {
    EditOutcome outcome;
    std::vector<Index> indices;
    std::vector<std::string> texts;
    for (const int row : m_scene->selectedRows()) {
        const std::string& line = m_document.lines().LineAt(static_cast<Index>(row));
        level::EntryEdit edited = edit(line);
        if (!edited) {
            switch (edited.error()) {
            case level::EntryEditProblem::NotAShip:
                ++outcome.notShips;
                break;
            case level::EntryEditProblem::NotANumber:
                ++outcome.notNumbers;
                break;
            case level::EntryEditProblem::NoTeamToSwap:
                ++outcome.noTeam;
                break;
            case level::EntryEditProblem::BeyondRange:
                ++outcome.beyond;
                break;
            case level::EntryEditProblem::NotEnoughMemory:
                widgets::showFailure(
                    this, QStringLiteral("There is not enough memory. Nothing was changed."));
                return {};
            case level::EntryEditProblem::NotAnEntry:
            case level::EntryEditProblem::LandsOnItself:
                break;
            }
            continue;
        }
        if (*edited == line)
            continue;
        indices.push_back(static_cast<Index>(row));
        texts.push_back(std::move(*edited));
    }
    outcome.changed = static_cast<int>(indices.size());
    if (!indices.empty()) {
        const QString what = stepText(verb, things, indices);
        m_document.rewriteLines(std::move(indices), std::move(texts), what, kind, continues);
    }
    return outcome;
}

void LevelMapWindow::moveSelection(QPointF offset, int kind, bool continues) {
    if (offset.isNull())
        return;
    const EditOutcome outcome = editSelected(
        [offset](std::string_view row) { return level::MoveEntry(row, offset.x(), offset.y()); },
        QStringLiteral("move"), QStringLiteral("entries"), kind, continues);
    if (outcome.beyond > 0)
        showNote(QStringLiteral("%1 stayed: moved, x or y would be beyond the range of numbers.")
                     .arg(counted(outcome.beyond, "entry", "entries")));
}

void LevelMapWindow::turnSelection(int degrees, bool held) {
    const EditOutcome outcome =
        editSelected([degrees](std::string_view row) { return level::TurnShip(row, degrees); },
                     QStringLiteral("turn"), QStringLiteral("ships"), TurnStep, held);
    if (outcome.notNumbers > 0)
        showNote(QStringLiteral("%1 kept the heading: it is not a number.")
                     .arg(counted(outcome.notNumbers, "ship", "ships")));
}

void LevelMapWindow::swapSelectionTeam() {
    const EditOutcome outcome = editSelected(
        [](std::string_view row) { return level::SwapShipTeam(row); },
        QStringLiteral("swap the team of"), QStringLiteral("ships"), LevelDocument::NoMerge, false);
    if (outcome.noTeam > 0)
        showNote(QStringLiteral("%1 kept the team: only teams 1 and 2 are swapped.")
                     .arg(counted(outcome.noTeam, "ship", "ships")));
}

void LevelMapWindow::deleteSelection() {
    std::vector<Index> indices;
    for (const int row : m_scene->selectedRows())
        indices.push_back(static_cast<Index>(row));
    if (indices.empty())
        return;
    const QString what = indices.size() == 1
                             ? QStringLiteral("delete row %1").arg(indices.front() + 1)
                             : QStringLiteral("delete %1 entries").arg(indices.size());
    m_document.removeLines(std::move(indices), what);
}

void LevelMapWindow::place(QPointF at, Qt::KeyboardModifiers modifiers) {
    if (!m_placer || !m_placer(modifiers & Qt::ShiftModifier, at))
        return;
    const int added = m_level.rowCount() - 1;
    selectOnMap(m_scene->marker(added) ? std::vector<int>{added} : std::vector<int>{}, added);
}

level::MirrorMode LevelMapWindow::mirrorMode() const {
    return static_cast<level::MirrorMode>(m_mirrorMode->currentData().toInt());
}

QPointF LevelMapWindow::mirrorCentre() const {
    if (m_placedCentre)
        return *m_placedCentre;
    const QRectF bounds = m_scene->markerBounds();
    return m_scene->markerCount() > 0 ? bounds.center() : QPointF();
}

void LevelMapWindow::updateMirror() {
    m_view->setMirror(mirrorMode(), mirrorCentre());
}

void LevelMapWindow::centreOnBases() {
    const auto centres = level::FindLevelCentres(m_document.lines().Lines());
    if (!centres.bases) {
        showNote(QStringLiteral("The level has no base to centre on."));
        return;
    }
    m_placedCentre = QPointF(centres.bases->x, centres.bases->y);
    updateMirror();
    m_view->bringIntoView(*m_placedCentre);
    showNote(QStringLiteral("The centre is in the middle of the bases (%1, %2).")
                 .arg(number(m_placedCentre->x()), number(m_placedCentre->y())));
}

void LevelMapWindow::mirrorSelection() {
    m_view->setFocus();
    const std::vector<int> selected = m_scene->selectedRows();
    if (selected.empty()) {
        showNote(QStringLiteral("Select the entries to mirror first."));
        return;
    }
    const level::MirrorMode mode = mirrorMode();
    const QPointF centre = mirrorCentre();
    std::vector<std::string> copies;
    int skipped = 0;
    int beyond = 0;
    for (const int row : selected) {
        level::EntryEdit copy = level::MirrorEntry(
            m_document.lines().LineAt(static_cast<Index>(row)), mode, {centre.x(), centre.y()});
        if (copy) {
            copies.push_back(std::move(*copy));
        } else if (copy.error() == level::EntryEditProblem::LandsOnItself) {
            ++skipped;
        } else if (copy.error() == level::EntryEditProblem::BeyondRange) {
            ++beyond;
        } else if (copy.error() == level::EntryEditProblem::NotEnoughMemory) {
            widgets::showFailure(
                this, QStringLiteral("There is not enough memory. Nothing was mirrored."));
            return;
        }
    }
    const QString about =
        mode == level::MirrorMode::Point
            ? QStringLiteral("about (%1, %2)").arg(number(centre.x()), number(centre.y()))
        : mode == level::MirrorMode::LeftRight
            ? QStringLiteral("about x = %1").arg(number(centre.x()))
            : QStringLiteral("about y = %1").arg(number(centre.y()));
    const QString skippedNote =
        skipped == 0
            ? QString()
            : QStringLiteral(" %1 skipped: on the %2, a copy would land on the entry itself.")
                  .arg(skipped)
                  .arg(mode == level::MirrorMode::Point ? QStringLiteral("centre")
                                                        : QStringLiteral("mirror line"));
    if (copies.empty()) {
        showNote(QStringLiteral("Nothing was mirrored.") + skippedNote);
        return;
    }
    const int first = m_level.rowCount();
    const int count = static_cast<int>(copies.size());
    const QString what = count == 1 ? QStringLiteral("mirror row %1").arg(selected.front() + 1)
                                    : QStringLiteral("mirror %1 entries").arg(count);
    if (!m_document.appendLines(std::move(copies), what)) {
        if (first + count > level::LevelLineList::MaxRows)
            widgets::showFailure(
                this, QStringLiteral("The mirrored copies would make %1 lines, more than the %2 "
                                     "a level file can hold. Nothing was mirrored.")
                          .arg(first + count)
                          .arg(level::LevelLineList::MaxRows));
        else
            widgets::showFailure(
                this, QStringLiteral("There is not enough memory. Nothing was mirrored."));
        return;
    }
    std::vector<int> added;
    for (int row = first; row < first + count; ++row)
        added.push_back(row);
    selectOnMap(added, first);
    showNote(QStringLiteral("Mirrored %1 for the other team %2.")
                 .arg(counted(count, "entry", "entries"), about) +
             skippedNote);
}

void LevelMapWindow::showNote(const QString& note) {
    m_note->setText(note);
    m_note->setToolTip(note);
}

} // namespace editor
