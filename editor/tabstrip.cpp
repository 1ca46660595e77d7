#include "tabstrip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

TabStrip::TabStrip(QWidget* parent)
    : QTabBar(parent) {
    setExpanding(false);
    setUsesScrollButtons(false);
    setDrawBase(false);
    setElideMode(Qt::ElideNone);
}

void TabStrip::paintEvent(QPaintEvent* event) {
    {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        const int tabsHeight = count() > 0 ? tabRect(0).height() : 0;
        frame.rect = rect().adjusted(0, tabsHeight - 1, 0, 0);
        frame.shape = shape();
        frame.tabBarSize = QSize(width(), tabsHeight);
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    }
    QTabBar::paintEvent(event);
}
