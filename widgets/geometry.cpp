#include "widgets/geometry.h"

#include <algorithm>
#include <vector>

namespace widgets {

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
    // The dialog font of Windows, or its metric twin: Liberation Sans is made to Arial's widths.
    // The family of the system comes first, so that no family is looked for that it lacks;
    // Windows without either (Wine) takes Liberation Sans where it is installed.
    QFont font = window->font();
#ifdef Q_OS_WIN
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
#else
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), font.family()});
#endif
    font.setPointSizeF(8.0);
    window->setFont(font);
}

} // namespace widgets
