#pragma once

#include <QTabBar>

namespace editor {

// The tab strip `TabStrip1`: a row of tabs over a framed page. The panels lie on that page;
// the window shows the one whose tab is selected.
class TabStrip : public QTabBar {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace editor
