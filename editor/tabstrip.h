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
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
    void changeEvent(QEvent* event) override;

private:
    // The captions' widths in the strip's font, measured once: the strip asks for every tab's
    // size many times while it lays itself out.
    const QList<int>& captionWidths() const;

    mutable QList<int> m_captionWidths;
};

} // namespace editor
