#include "geometry.h"

#include <algorithm>
#include <vector>

void applyTabOrder(QWidget* window) {
    std::vector<std::pair<int, QWidget*>> chain;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool ok = false;
        const int index = w->property("tabIndex").toInt(&ok);
        if (ok && index >= 0 && (w->focusPolicy() & Qt::TabFocus))
            chain.emplace_back(index, w);
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
}
