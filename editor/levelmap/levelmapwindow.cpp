#include "editor/levelmap/levelmapwindow.h"

#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "core/rowtext.h"
#include "editor/document/refusals.h"
#include "editor/document/stepnames.h"
#include "editor/levelmap/findingspanel.h"
#include "editor/levelmap/levelmapscene.h"
#include "editor/levelmap/levelmapview.h"
#include "widgets/geometry.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

// A level's rows are checked this long after the last change.
constexpr int CheckDelayMs = 100;

using Index = LevelDocument::Index;

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
    , m_gameFolder(gameFolder) {
    setObjectName(QStringLiteral("levelMap"));
    setWindowTitle(QStringLiteral("Level Map"));
    widgets::useLayoutFont(this);
    createControls();

    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(CheckDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &LevelMapWindow::checkNow);
    connect(&document, &LevelDocument::changed, this, &LevelMapWindow::documentChanged);
    connect(m_scene, &LevelMapScene::markersChanged, this, &LevelMapWindow::markersChanged);
    connect(m_findings, &FindingsPanel::rowActivated, this, &LevelMapWindow::selectRow);
    connectView();
    connect(m_snapButton, &QPushButton::toggled, m_view, &LevelMapView::setSnap);
    connect(m_mirrorButton, &QPushButton::clicked, this, &LevelMapWindow::mirrorSelection);
    connect(m_centreOnBases, &QPushButton::clicked, this, &LevelMapWindow::centreOnBases);
    connect(m_mirrorMode, &QComboBox::currentIndexChanged, this, [this] {
        updateMirror();
        m_view->setFocus();
    });
    updateMirror();
}

LevelMapWindow::~LevelMapWindow() = default;

// The map's gestures and keys.
void LevelMapWindow::connectView() {
    connect(m_view, &LevelMapView::markerClicked, this, &LevelMapWindow::markerClicked);
    connect(m_view, &LevelMapView::markerGrabbed, this,
            [this](int row) { selectOnMap({row}, row); });
    connect(m_view, &LevelMapView::emptyClicked, this, [this] { selectOnMap({}, -1); });
    connect(m_view, &LevelMapView::escapePressed, this, [this] { selectOnMap({}, -1); });
    connect(m_view, &LevelMapView::bandDrawn, this, &LevelMapWindow::bandDrawn);
    connect(m_view, &LevelMapView::selectAllAsked, this, &LevelMapWindow::selectAll);
    connect(m_view, &LevelMapView::dragFinished, this,
            [this](QPointF offset) { moveSelection(offset, MergeKind::None, false); });
    connect(m_view, &LevelMapView::nudgeAsked, this,
            [this](QPointF offset, bool held) { moveSelection(offset, MergeKind::Nudge, held); });
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
    connect(m_view, &LevelMapView::clipboardAsked, this, &LevelMapWindow::clipboardAsked);
    connect(m_view, &LevelMapView::menuAsked, this, &LevelMapWindow::showMenu);
}

const FindingsModel& LevelMapWindow::findings() const {
    return m_findings->model();
}

void LevelMapWindow::createControls() {
    m_scene = new LevelMapScene(m_document, this);
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
    m_findings->setReport(level::CheckLevelAndTeams(m_document.lines().Lines(), lookup),
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

// Once a step: the level is checked again a moment later (a hidden map checks nothing; showing
// it checks at once), a new level (a load, "clear") is shown whole with the centre following its
// entries again, and a row made current elsewhere comes into view.
void LevelMapWindow::documentChanged(const DocumentChange& change) {
    if (change.rows.kind != RowsChange::Kind::None && isVisible())
        m_checkTimer.start();
    if (change.rows.kind == RowsChange::Kind::Reset) {
        m_view->fitAll();
        m_placedCentre.reset();
        updateMirror();
    }
    if (change.source != m_view && change.reveal != LevelDocument::NoRow)
        if (const MapMarker* marker = m_scene->marker(change.reveal))
            m_view->bringIntoView(marker->position);
}

// As a click on the row in the content list: it is chosen, and the list scrolls it into view.
void LevelMapWindow::selectRow(int row) {
    if (row >= 0 && row < m_document.lines().LineCount())
        m_document.selectLine(static_cast<Index>(row));
}

// A centre that follows the entries follows them.
void LevelMapWindow::markersChanged() {
    if (!m_placedCentre)
        updateMirror();
}

void LevelMapWindow::selectOnMap(const std::vector<int>& rows, int current) {
    mapedits::Rows chosen(rows.begin(), rows.end());
    m_document.choose(std::move(chosen), static_cast<Index>(current), m_view);
}

void LevelMapWindow::markerClicked(int row, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier)) {
        selectOnMap({row}, row);
        return;
    }
    std::vector<int> rows = m_scene->selectedRows();
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    const int was = m_document.currentRow();
    int current = row;
    if (at != rows.end() && *at == row) {
        rows.erase(at);
        current = was != row ? was : rows.empty() ? -1 : rows.back();
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
    const int was = m_document.currentRow();
    const bool keepsCurrent = std::binary_search(rows.begin(), rows.end(), was);
    selectOnMap(rows, keepsCurrent ? was : rows.empty() ? -1 : rows.front());
}

void LevelMapWindow::selectAll() {
    std::vector<int> rows;
    const int count = static_cast<int>(m_scene->markers().size());
    for (int row = 0; row < count; ++row)
        if (m_scene->marker(row))
            rows.push_back(row);
    const int was = m_document.currentRow();
    const bool keepsCurrent = std::binary_search(rows.begin(), rows.end(), was);
    selectOnMap(rows, keepsCurrent ? was : rows.empty() ? -1 : rows.front());
}

mapedits::Rows LevelMapWindow::selection() const {
    const std::vector<int> rows = m_scene->selectedRows();
    return mapedits::Rows(rows.begin(), rows.end());
}

// A rewrite adds no rows: it is refused only for want of memory.
bool LevelMapWindow::report(const mapedits::Outcome& outcome) {
    if (outcome.refused == mapedits::Outcome::Refusal::None)
        return true;
    widgets::showFailure(this, QStringLiteral("There is not enough memory. Nothing was changed."));
    return false;
}

void LevelMapWindow::moveSelection(QPointF offset, MergeKind kind, bool continues) {
    if (offset.isNull())
        return;
    const auto outcome =
        mapedits::move(m_document, selection(), offset.x(), offset.y(), kind, continues);
    if (!report(outcome))
        return;
    if (outcome.beyond > 0)
        showNote(QStringLiteral("%1 stayed: moved, x or y would be beyond the range of numbers.")
                     .arg(counted(outcome.beyond, "entry", "entries")));
}

void LevelMapWindow::turnSelection(int degrees, bool held) {
    const auto outcome = mapedits::turn(m_document, selection(), degrees, held);
    if (!report(outcome))
        return;
    if (outcome.notNumbers > 0)
        showNote(QStringLiteral("%1 kept the heading: it is not a number.")
                     .arg(counted(outcome.notNumbers, "ship", "ships")));
}

void LevelMapWindow::swapSelectionTeam() {
    const auto outcome = mapedits::swapTeam(m_document, selection());
    if (!report(outcome))
        return;
    if (outcome.noTeam > 0)
        showNote(QStringLiteral("%1 kept the team: only teams 1 and 2 are swapped.")
                     .arg(counted(outcome.noTeam, "ship", "ships")));
}

void LevelMapWindow::deleteSelection() {
    mapedits::remove(m_document, selection());
}

void LevelMapWindow::place(QPointF at, Qt::KeyboardModifiers modifiers) {
    const bool isBase = modifiers & Qt::ShiftModifier;
    const std::optional<QString> line = m_placer ? m_placer(isBase, at) : std::nullopt;
    if (!line)
        return;
    if (mapedits::place(m_document, widgets::toStdString(*line), isBase).refused !=
        mapedits::Outcome::Refusal::None)
        widgets::showFailure(this, appendRefusal(m_document.lines().LineCount(), *line));
}

void LevelMapWindow::clipboardAsked(LevelMapView::Clipboard what, bool atPointer, QPointF at) {
    using Clipboard = LevelMapView::Clipboard;
    const mapedits::Rows rows = selection();
    std::vector<std::string> texts;
    for (const Index row : rows)
        texts.push_back(m_document.lines().LineAt(row));
    if (what == Clipboard::Copy || what == Clipboard::Cut) {
        if (rows.empty())
            return;
        QGuiApplication::clipboard()->setText(widgets::toQString(level::RowsAsText(texts)));
        if (what == Clipboard::Cut)
            m_document.removeLines(
                rows, stepnames::onRows(QStringLiteral("cut"), rows, QStringLiteral("entries")));
        return;
    }
    std::optional<level::MapPoint> place;
    level::MapPoint offset;
    if (what == Clipboard::Paste) {
        texts = level::TextAsRows(widgets::toStdString(QGuiApplication::clipboard()->text()));
        if (atPointer)
            place = level::MapPoint{at.x(), at.y()};
    } else {
        const qreal step = m_view->gridStep();
        offset = {step, step};
    }
    if (texts.empty())
        return;
    if (const auto refused = pasteRefusal(texts, m_document.lines().LineCount())) {
        widgets::showFailure(this, *refused);
        return;
    }
    const Index before = m_document.lines().LineCount();
    const int adding = static_cast<int>(texts.size());
    const auto outcome =
        mapedits::paste(m_document, std::move(texts), place, offset, what == Clipboard::Duplicate);
    if (outcome.refused != mapedits::Outcome::Refusal::None)
        widgets::showFailure(this, rowsRefusal(before, adding, QStringLiteral("rows"),
                                               QStringLiteral("Nothing was added")));
    else if (outcome.beyond > 0)
        showNote(QStringLiteral("%1 kept its place: moved, x or y would be beyond the range of "
                                "numbers.")
                     .arg(counted(outcome.beyond, "entry", "entries")));
}

// Cut, Copy, Paste (there) and Duplicate, each greyed when it cannot act.
void LevelMapWindow::showMenu(QPoint globalPos, QPointF at) {
    using Clipboard = LevelMapView::Clipboard;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mapMenu"));
    menu.setFont(font()); // the window's, as the list's menu has it
    const bool chosen = m_scene->selectedCount() > 0;
    const bool text = !QGuiApplication::clipboard()->text().isEmpty();
    const auto add = [&](const QString& name, QKeySequence keys, bool enabled, Clipboard what) {
        QAction* action = menu.addAction(name);
        action->setShortcut(keys);
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this,
                [this, what, at] { clipboardAsked(what, true, at); });
    };
    add(QStringLiteral("Cut"), QKeySequence::Cut, chosen, Clipboard::Cut);
    add(QStringLiteral("Copy"), QKeySequence::Copy, chosen, Clipboard::Copy);
    add(QStringLiteral("Paste"), QKeySequence::Paste, text, Clipboard::Paste);
    add(QStringLiteral("Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D), chosen,
        Clipboard::Duplicate);
    menu.exec(globalPos);
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
    const auto bases = mapedits::basesCentre(m_document);
    if (!bases) {
        showNote(QStringLiteral("The level has no base to centre on."));
        return;
    }
    m_placedCentre = QPointF(bases->x, bases->y);
    updateMirror();
    m_view->bringIntoView(*m_placedCentre);
    showNote(QStringLiteral("The centre is in the middle of the bases (%1, %2).")
                 .arg(number(m_placedCentre->x()), number(m_placedCentre->y())));
}

void LevelMapWindow::mirrorSelection() {
    m_view->setFocus();
    const mapedits::Rows rows = selection();
    if (rows.empty()) {
        showNote(QStringLiteral("Select the entries to mirror first."));
        return;
    }
    const level::MirrorMode mode = mirrorMode();
    const QPointF centre = mirrorCentre();
    const Index before = m_document.lines().LineCount();
    const auto outcome = mapedits::mirror(m_document, rows, mode, {centre.x(), centre.y()});
    using Refusal = mapedits::Outcome::Refusal;
    if (outcome.refused != Refusal::None) {
        const int copies = static_cast<int>(rows.size()) - outcome.skipped - outcome.beyond;
        widgets::showFailure(this, rowsRefusal(before, copies, QStringLiteral("mirrored copies"),
                                               QStringLiteral("Nothing was mirrored")));
        return;
    }
    const QString about =
        mode == level::MirrorMode::Point
            ? QStringLiteral("about (%1, %2)").arg(number(centre.x()), number(centre.y()))
        : mode == level::MirrorMode::LeftRight
            ? QStringLiteral("about x = %1").arg(number(centre.x()))
            : QStringLiteral("about y = %1").arg(number(centre.y()));
    QString left;
    if (outcome.skipped > 0)
        left += QStringLiteral(" %1 skipped: on the %2, a copy would land on the entry itself.")
                    .arg(outcome.skipped)
                    .arg(mode == level::MirrorMode::Point ? QStringLiteral("centre")
                                                          : QStringLiteral("mirror line"));
    if (outcome.beyond > 0)
        left += QStringLiteral(" %1 refused: a copy's x or y would be beyond the range of numbers.")
                    .arg(outcome.beyond);
    if (outcome.changed == 0) {
        showNote(QStringLiteral("Nothing was mirrored.") + left);
        return;
    }
    showNote(QStringLiteral("Mirrored %1 for the other team %2.")
                 .arg(counted(outcome.changed, "entry", "entries"), about) +
             left);
}

void LevelMapWindow::showNote(const QString& note) {
    m_note->setText(note);
    m_note->setToolTip(note);
}

} // namespace editor
