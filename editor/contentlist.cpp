#include "editor/contentlist.h"

#include "core/utf8.h"

#include "widgets/longtext.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace editor {

// Every item takes the size of the widest row, so the list scrolls sideways as far as that row
// reaches; rows that do not show whole show as tool tips.
class ContentList::RowDelegate : public widgets::WholeTextToolTips {
public:
    explicit RowDelegate(ContentList* list)
        : widgets::WholeTextToolTips(list)
        , m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return textSize(option, index, m_list->m_widestRow);
    }

private:
    const ContentList* m_list;
};

ContentList::ContentList(LevelListModel* level, QWidget* parent)
    : QListView(parent)
    , m_level(level) {
    setObjectName(QStringLiteral("inhalt"));
    setItemDelegate(new RowDelegate(this));
    setModel(level);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ContentList::viewSelectionChanged);
    connect(level, &LevelListModel::selectedLineChanged, this, &ContentList::showSelection);
    connect(level, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { measureRows(first, last); });
    connect(level, &QAbstractItemModel::rowsInserted, this, &ContentList::rowsAppended);
    connect(level, &QAbstractItemModel::rowsAboutToBeRemoved, this, &ContentList::rowsGoing);
    connect(level, &QAbstractItemModel::rowsRemoved, this, &ContentList::rowsGone);
    connect(level, &QAbstractItemModel::modelReset, this, &ContentList::measureAllRows);
    // Rows that changed places: the widest row is still among them.
    connect(level, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                measureRows(from.row(), to.row());
            });
    measureAllRows();
}

void ContentList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty())
        emit characterTyped(text.at(0).unicode());
    // Left and Right scroll sideways: a list of rows has no neighbours left and right.
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left
                                                 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
        return;
    }
    QListView::keyPressEvent(event);
}

void ContentList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        forgetCharacters();
        measureAllRows();
    }
    QListView::changeEvent(event);
}

// The user changed the selection in the view: the level follows.
void ContentList::viewSelectionChanged() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    m_level->selectLine(rows.isEmpty() ? level::LevelLineList::NoRow
                                       : static_cast<LevelListModel::Index>(rows.first().row()));
}

// An operation changed the level's selection: the view follows.
void ContentList::showSelection(LevelListModel::Index row) {
    if (row == level::LevelLineList::NoRow) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_level->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

// A new row is the last one; it comes into view, the selection stays where it was.
void ContentList::rowsAppended(const QModelIndex&, int, int last) {
    scrollTo(m_level->index(last));
}

void ContentList::measureAllRows() {
    m_widestRow.clear();
    m_widestWidth = 0;
    measureRows(0, m_level->lines().LineCount() - 1);
    scheduleDelayedItemsLayout();
}

void ContentList::measureRows(int first, int last) {
    const level::LevelLineList& lines = m_level->lines();
    bool wider = false;
    for (int row = std::max(first, 0); row <= last && row < lines.LineCount(); ++row) {
        const std::string& text = lines.LineAt(static_cast<LevelListModel::Index>(row));
        if (const int width = shownWidth(text); width > m_widestWidth) {
            m_widestWidth = width;
            m_widestRow = LevelListModel::shownText(text);
            wider = true;
        }
    }
    if (wider)
        scheduleDelayedItemsLayout();
}

void ContentList::rowsGoing(const QModelIndex&, int first, int last) {
    const level::LevelLineList& lines = m_level->lines();
    for (int row = first; row <= last && !m_widestGoing; ++row)
        m_widestGoing =
            shownWidth(lines.LineAt(static_cast<LevelListModel::Index>(row))) >= m_widestWidth;
}

void ContentList::rowsGone() {
    if (!m_widestGoing)
        return;
    m_widestGoing = false;
    measureAllRows();
}

void ContentList::measureCharacters() {
    const QFontMetrics metrics = fontMetrics();
    for (char16_t c = 0x20; c < 0x7F; ++c)
        m_asciiWidths[c] = metrics.horizontalAdvance(QChar(c));
    m_asciiMeasured = true;
}

void ContentList::forgetCharacters() {
    m_asciiMeasured = false;
    m_otherWidths.clear();
}

// Characters one by one from the UTF-8 row, as far as widgets::shownText shows them. Kerning is
// left out: the estimate picks the widest row, whose size the style then measures.
int ContentList::shownWidth(const std::string& row) {
    if (!m_asciiMeasured)
        measureCharacters();
    const widgets::ShownPart shown = widgets::shownPart(row);
    const std::string_view text(row.data(), shown.bytes);
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        // A run of ASCII characters, then one other character.
        const std::size_t runEnd = i + level::AsciiRunLength(text, i);
        for (; i < runEnd; ++i)
            width += m_asciiWidths[static_cast<unsigned char>(text[i])];
        if (i == text.size())
            break;
        const level::Utf8Character character = level::ReadUtf8Character(text, i);
        width += otherWidth(character.code);
        i = character.next;
    }
    return shown.cut ? width + otherWidth(0x2026) : width;
}

int ContentList::otherWidth(char32_t c) {
    if (const auto known = m_otherWidths.constFind(c); known != m_otherWidths.constEnd())
        return *known;
    const int width = fontMetrics().horizontalAdvance(QString::fromUcs4(&c, 1));
    m_otherWidths.insert(c, width);
    return width;
}

} // namespace editor
