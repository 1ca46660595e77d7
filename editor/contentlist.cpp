#include "editor/contentlist.h"

#include "core/levelfile.h"
#include "core/rowtext.h"
#include "core/utf8.h"
#include "editor/document/refusals.h"

#include "widgets/longtext.h"
#include "widgets/messageboxes.h"
#include "widgets/qtpath.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace editor {

// Every item takes the size of the widest row, so the list scrolls sideways as far as that row
// reaches; rows that do not show whole show as tool tips. A row is edited in a line box over the
// part of it that the list shows.
class ContentList::RowDelegate : public widgets::WholeTextToolTips {
public:
    explicit RowDelegate(ContentList* list)
        : widgets::WholeTextToolTips(list)
        , m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return textSize(option, index, m_list->m_widestRow);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("rowEditor"));
        editor->setFrame(false);
        editor->setMaxLength(std::numeric_limits<int>::max()); // rows of any length, whole
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QLineEdit*>(editor);
        box->setText(index.data(Qt::EditRole).toString());
        box->setCursorPosition(0);
        box->selectAll();
    }

    // A text that cannot be stored changes nothing (Enter and leaving the box refuse it first).
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        if (!level::CheckStorableRow(widgets::toStdString(text), 1))
            return;
        m_list->m_document->editLine(static_cast<LevelListModel::Index>(index.row()),
                                     widgets::toStdString(text));
    }

    // Over the row as far as the list shows it; the box scrolls its text itself.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        QRect place = option.rect;
        place.setLeft(std::max(place.left(), 0));
        place.setRight(std::min(place.right(), m_list->viewport()->width() - 1));
        editor->setGeometry(place);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (!editor)
            return widgets::WholeTextToolTips::eventFilter(object, event);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Refused, the box stays open with the text; otherwise the change is made now.
                if (!keepsOpen(editor))
                    return true;
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                return true;
            }
        }
        // A message box or a menu took the focus for a moment: the box stays open. Leaving it
        // otherwise keeps the change, as Enter does: a text that cannot be stored is refused
        // with the reason, and the box stays open with it and takes the focus back.
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            if (!keepsOpen(editor))
                return true;
        }
        return widgets::WholeTextToolTips::eventFilter(object, event);
    }

private:
    // False, after the reason was shown, when the box's text cannot be stored: the box stays
    // open with it and takes the focus back once the message is gone.
    bool keepsOpen(QLineEdit* editor) const {
        if (m_list->storable(m_list->currentIndex().row(), editor->text()))
            return true;
        QMetaObject::invokeMethod(editor, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
        return false;
    }

    ContentList* m_list;
};

ContentList::ContentList(LevelDocument* level, QWidget* parent)
    : QListView(parent)
    , m_document(level)
    , m_level(&level->model())
    , m_selection(new SelectionView(*level, this)) {
    setObjectName(QStringLiteral("inhalt"));
    setItemDelegate(new RowDelegate(this));
    setModel(m_level);
    // The list shows the document's selection; its own selection model goes.
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(m_selection);
    delete own;
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(level, &LevelDocument::changed, this, &ContentList::documentChanged);
    measureAllRows();
    createClipboardActions();
}

// The keys work while the list has the focus (a text box, the row editor among them, keeps its
// own); the menu shows them.
void ContentList::createClipboardActions() {
    const auto make = [this](const char* name, const QString& text, QKeySequence keys,
                             void (ContentList::*run)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        return action;
    };
    m_cut = make("cutRows", QStringLiteral("Cut"), QKeySequence::Cut, &ContentList::cutRows);
    m_copy = make("copyRows", QStringLiteral("Copy"), QKeySequence::Copy, &ContentList::copyRows);
    m_paste =
        make("pasteRows", QStringLiteral("Paste"), QKeySequence::Paste, &ContentList::pasteRows);
    m_duplicate = make("duplicateRows", QStringLiteral("Duplicate"),
                       QKeySequence(Qt::CTRL | Qt::Key_D), &ContentList::duplicateRows);
}

// The menu's own entries, greyed where they cannot act; the keys stay on (with nothing to act
// on they do nothing).
void ContentList::addClipboardEntries(QMenu& menu) {
    const bool chosen = !m_document->selection().empty();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const bool text = clipboard && !clipboard->text().isEmpty();
    for (QAction* keys : {m_cut, m_copy, m_paste, m_duplicate}) {
        QAction* entry = menu.addAction(keys->text());
        entry->setObjectName(keys->objectName() + QStringLiteral("Entry"));
        entry->setShortcut(keys->shortcut());
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setShortcutVisibleInContextMenu(true);
        entry->setEnabled(keys == m_paste ? text : chosen);
        connect(entry, &QAction::triggered, keys, &QAction::trigger);
    }
}

namespace {

std::vector<std::string> chosenTexts(const LevelDocument& document) {
    std::vector<std::string> texts;
    for (const auto row : document.selection().rows())
        texts.push_back(document.lines().LineAt(row));
    return texts;
}

} // namespace

void ContentList::copyRows() {
    if (m_document->selection().empty())
        return;
    QGuiApplication::clipboard()->setText(
        widgets::toQString(level::RowsAsText(chosenTexts(*m_document))));
}

void ContentList::cutRows() {
    const std::vector<LevelListModel::Index> rows = m_document->selection().rows();
    if (rows.empty())
        return;
    copyRows();
    m_document->removeLines(rows,
                            stepnames::onRows(QStringLiteral("cut"), rows, QStringLiteral("rows")));
}

void ContentList::pasteRows() {
    std::vector<std::string> rows =
        level::TextAsRows(widgets::toStdString(QGuiApplication::clipboard()->text()));
    const LevelListModel::Index current = m_document->currentRow();
    const auto at = current == LevelDocument::NoRow
                        ? m_level->lines().LineCount()
                        : static_cast<LevelListModel::Index>(current + 1);
    const auto count = rows.size();
    insertRows(at, std::move(rows), stepnames::pasted(count));
}

void ContentList::duplicateRows() {
    const std::vector<LevelListModel::Index>& rows = m_document->selection().rows();
    if (rows.empty())
        return;
    const auto at = static_cast<LevelListModel::Index>(rows.back() + 1);
    insertRows(at, chosenTexts(*m_document), stepnames::duplicated(rows.size()));
}

// A line that a level file cannot store, or more lines than a level holds, refuse the whole
// insert with the reason; nothing changes then.
void ContentList::insertRows(LevelListModel::Index at, std::vector<std::string> rows,
                             const QString& name) {
    if (rows.empty())
        return;
    if (const auto refused = pasteRefusal(rows, m_level->lines().LineCount())) {
        widgets::showFailure(this, *refused);
        return;
    }
    const QString line = widgets::toQString(rows.front());
    if (!m_document->insertLines(at, std::move(rows), name))
        widgets::showFailure(this, appendRefusal(m_level->lines().LineCount(), line));
}

void ContentList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deletePressed();
        return;
    }
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

void ContentList::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = makeContextMenu(event->pos());
    menu->exec(event->globalPos());
}

void ContentList::setHistoryActions(QAction* undo, QAction* redo) {
    m_undo = undo;
    m_redo = redo;
}

// "Undo <step>", "Redo <step>" (greyed when there is none) and "Edit row" for the row at the
// point, else the selected one.
std::unique_ptr<QMenu> ContentList::makeContextMenu(QPoint pos) {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("inhaltMenu"));
    menu->setFont(font()); // a popup of its own takes the desktop's font, under Wine a serif one
    if (m_undo && m_redo) {
        menu->addAction(m_undo);
        menu->addAction(m_redo);
        menu->addSeparator();
    }
    addClipboardEntries(*menu);
    menu->addSeparator();
    QModelIndex row = indexAt(pos);
    if (!row.isValid() && m_document->currentRow() != LevelDocument::NoRow)
        row = m_level->index(m_document->currentRow());
    QAction* editRow = menu->addAction(QStringLiteral("Edit row"));
    editRow->setObjectName(QStringLiteral("editRow"));
    editRow->setEnabled(row.isValid());
    const QPersistentModelIndex target(row);
    connect(editRow, &QAction::triggered, this, [this, target] {
        if (!target.isValid())
            return;
        m_document->selectLine(static_cast<LevelListModel::Index>(target.row()));
        edit(target);
    });
    return menu;
}

// A closed editor is hidden at once and deleted later.
QLineEdit* ContentList::rowEditor() const {
    const auto editors = viewport()->findChildren<QLineEdit*>(QStringLiteral("rowEditor"));
    const auto open = std::find_if(editors.begin(), editors.end(),
                                   [](const QLineEdit* editor) { return !editor->isHidden(); });
    return open == editors.end() ? nullptr : *open;
}

bool ContentList::storable(int row, const QString& text) {
    auto checked =
        level::CheckStorableRow(widgets::toStdString(text), static_cast<std::size_t>(row) + 1);
    if (checked)
        return true;
    widgets::showFailure(this, widgets::toQString(checked.error().Reason()));
    return false;
}

void ContentList::documentChanged(const DocumentChange& change) {
    rowsChanged(change.rows);
    // After every step: the selection model stepped aside while the step changed the rows.
    m_selection->show();
    if (change.selection)
        viewport()->update();
    // New rows come into view (an append: the new last row), then the current row.
    if (change.rows.kind == RowsChange::Kind::Inserted && !change.rows.rows.empty())
        scrollTo(m_level->index(change.rows.rows.back()));
    if (change.reveal != LevelDocument::NoRow && change.source != m_selection)
        scrollTo(m_level->index(change.reveal));
}

void ContentList::measureAllRows() {
    const level::LevelLineList& lines = m_level->lines();
    m_widths.assign(static_cast<std::size_t>(lines.LineCount()), 0);
    for (std::size_t row = 0; row < m_widths.size(); ++row)
        m_widths[row] = shownWidth(lines.LineAt(static_cast<LevelListModel::Index>(row)));
    findWidest();
}

void ContentList::rowsChanged(const RowsChange& change) {
    const level::LevelLineList& lines = m_level->lines();
    const auto widthOf = [&](LevelListModel::Index row) { return shownWidth(lines.LineAt(row)); };
    const int widest = m_widestWidth;
    switch (change.kind) {
    case RowsChange::Kind::None:
        return;
    case RowsChange::Kind::Reset:
        measureAllRows();
        return;
    case RowsChange::Kind::Inserted: {
        // One pass from the back: the old widths move to their new places.
        const auto& at = change.rows;
        std::size_t old = m_widths.size();
        std::size_t left = at.size();
        m_widths.resize(old + at.size());
        for (std::size_t row = m_widths.size(); row-- > 0 && left > 0;) {
            if (static_cast<std::size_t>(at[left - 1]) == row) {
                --left;
                m_widths[row] = widthOf(static_cast<LevelListModel::Index>(row));
                widen(static_cast<int>(row), m_widths[row]);
            } else {
                m_widths[row] = m_widths[--old];
            }
        }
        break;
    }
    case RowsChange::Kind::Removed: {
        const auto& at = change.rows;
        std::size_t next = 0;
        std::size_t kept = at.empty() ? m_widths.size() : static_cast<std::size_t>(at.front());
        for (std::size_t row = kept; row < m_widths.size(); ++row) {
            if (next < at.size() && static_cast<std::size_t>(at[next]) == row) {
                ++next;
                if (m_widths[row] == m_widestWidth)
                    --m_widestCount;
            } else {
                m_widths[kept++] = m_widths[row];
            }
        }
        m_widths.resize(kept);
        break;
    }
    case RowsChange::Kind::Rewritten:
        for (const LevelListModel::Index row : change.rows) {
            int& width = m_widths[static_cast<std::size_t>(row)];
            if (width == m_widestWidth)
                --m_widestCount;
            width = widthOf(row);
            if (width == m_widestWidth)
                ++m_widestCount;
            else
                widen(row, width);
        }
        break;
    }
    if (m_widestCount <= 0)
        findWidest();
    else if (m_widestWidth != widest)
        scheduleDelayedItemsLayout();
}

// A row at least as wide as the widest: the widest, or one more of its width.
void ContentList::widen(int row, int width) {
    if (width > m_widestWidth) {
        m_widestWidth = width;
        m_widestCount = 1;
        m_widestRow = LevelListModel::shownText(
            m_level->lines().LineAt(static_cast<LevelListModel::Index>(row)));
    } else if (width == m_widestWidth) {
        ++m_widestCount;
    }
}

void ContentList::findWidest() {
    m_widestWidth = 0;
    m_widestCount = 0;
    m_widestRow.clear();
    const auto widest = std::max_element(m_widths.begin(), m_widths.end());
    if (widest != m_widths.end()) {
        m_widestWidth = *widest;
        m_widestCount = static_cast<int>(std::count(m_widths.begin(), m_widths.end(), *widest));
        m_widestRow = LevelListModel::shownText(
            m_level->lines().LineAt(static_cast<LevelListModel::Index>(widest - m_widths.begin())));
    }
    scheduleDelayedItemsLayout();
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
