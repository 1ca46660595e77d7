#include "editor/tabstrip.h"

#include <QEvent>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

#include <algorithm>

namespace editor {

TabStrip::TabStrip(QWidget* parent)
    : QTabBar(parent) {
    setExpanding(false);
    setUsesScrollButtons(false);
    setDrawBase(false);
    setElideMode(Qt::ElideNone);
}

// Four tabs share a narrow strip: each gets its caption's width and an equal share of what is
// left, so every caption shows whole.
QSize TabStrip::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    if (width() <= 0 || count() == 0)
        return size;
    const QList<int>& widths = captionWidths();
    int captions = 0;
    for (const int w : widths)
        captions += w;
    const int padding = std::clamp((width() - 2 - captions) / count(), 4, 24);
    size.setWidth(widths.value(index) + padding);
    return size;
}

const QList<int>& TabStrip::captionWidths() const {
    if (m_captionWidths.size() != count()) {
        m_captionWidths.clear();
        for (int i = 0; i < count(); ++i)
            m_captionWidths.append(fontMetrics().horizontalAdvance(tabText(i)));
    }
    return m_captionWidths;
}

void TabStrip::tabInserted(int index) {
    m_captionWidths.clear();
    QTabBar::tabInserted(index);
}

void TabStrip::tabRemoved(int index) {
    m_captionWidths.clear();
    QTabBar::tabRemoved(index);
}

void TabStrip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        m_captionWidths.clear();
    QTabBar::changeEvent(event);
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const int tabsHeight = count() > 0 ? tabRect(0).height() : 0;

    // The page's frame. A style may leave the painter clipped after it: the Windows styles
    // clip to the page's inside, which leaves out the row of tabs. In a QTabWidget the tabs are
    // another widget with a painter of their own; here they share this one, so its state is
    // put back.
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, tabsHeight - 1, 0, 0);
    frame.shape = shape();
    frame.tabBarSize = QSize(width(), tabsHeight);
    painter.save();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    painter.restore();

    // The style draws each tab's shape; the caption is drawn here, centred and whole, since the
    // style's own label margins are wider than the strip allows. The selected tab comes last so
    // its shape overlaps its neighbours.
    auto drawTab = [&](int i) {
        QStyleOptionTab tab;
        initStyleOption(&tab, i);
        painter.save();
        painter.drawControl(QStyle::CE_TabBarTabShape, tab);
        painter.restore();
        const QRect label = tab.rect.adjusted(0, i == currentIndex() ? 0 : 2, 0, 0);
        painter.drawItemText(label, Qt::AlignCenter, tab.palette, isTabEnabled(i), tabText(i),
                             QPalette::WindowText);
        if (i == currentIndex() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = label.adjusted(2, 3, -2, -2);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    };
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex())
            drawTab(i);
    if (currentIndex() >= 0)
        drawTab(currentIndex());
}

} // namespace editor
