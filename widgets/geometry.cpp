#include "geometry.h"

#include <QFontDatabase>

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

void useLayoutFont(QWidget* window) {
    // The first of these that is installed, and only that one: a font family that is not
    // installed costs a search through the system's font configuration for every font made.
    static const QString family = [window] {
        const QStringList installed = QFontDatabase::families();
        for (const QString& candidate :
             {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
              QStringLiteral("Liberation Sans")})
            if (installed.contains(candidate, Qt::CaseInsensitive))
                return candidate;
        return window->font().family();
    }();
    QFont font = window->font();
    font.setFamilies({family});
    font.setPointSizeF(8.0);
    window->setFont(font);
}
