#include "editor/contentlist.h"

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

// Characters one by one from the UTF-8 row, as far as LevelListModel::shownText shows them.
// Kerning is left out: the estimate picks the widest row, whose size the style then measures.
int ContentList::shownWidth(const std::string& row) {
    if (!m_asciiMeasured)
        measureCharacters();
    int width = 0;
    int characters = 0;
    for (std::size_t i = 0; i < row.size();) {
        if (characters == widgets::MaxShownCharacters)
            return width + otherWidth(0x2026);
        // A run of ASCII characters, as far as they are shown.
        const std::size_t runEnd = std::min(
            row.size(), i + static_cast<std::size_t>(widgets::MaxShownCharacters - characters));
        const std::size_t runStart = i;
        // Eight bytes at a time while all eight are ASCII, then byte by byte.
        for (std::uint64_t eight; i + 8 <= runEnd; i += 8) {
            std::memcpy(&eight, row.data() + i, 8);
            if (eight & 0x8080808080808080u)
                break;
            for (std::size_t k = 0; k < 8; ++k)
                width += m_asciiWidths[static_cast<unsigned char>(row[i + k])];
        }
        for (unsigned char c; i < runEnd && (c = static_cast<unsigned char>(row[i])) < 0x80; ++i)
            width += m_asciiWidths[c];
        characters += static_cast<int>(i - runStart);
        if (i == runEnd)
            continue;
        // Then one UTF-8 sequence.
        const auto lead = static_cast<unsigned char>(row[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
        std::size_t k = 1;
        for (; k < length && i + k < row.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(row[i + k]) & 0x3Fu);
        width += otherWidth(length == 1 || k < length ? char32_t{0xFFFD} : c);
        i += k;
        ++characters;
    }
    return width;
}

int ContentList::otherWidth(char32_t c) {
    if (const auto known = m_otherWidths.constFind(c); known != m_otherWidths.constEnd())
        return *known;
    const int width = fontMetrics().horizontalAdvance(QString::fromUcs4(&c, 1));
    m_otherWidths.insert(c, width);
    return width;
}

} // namespace editor
