#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

#include <utility>

namespace widgets {

// Window layouts are written in twips, as the game's tool set has always measured them:
// 15 twips are one logical pixel. Qt scales logical pixels on high-DPI screens.
constexpr int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + 7 : twips - 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

// One row of a layout table: the control's name, place and keyboard focus order
// (-1: not in the focus chain).
struct ControlPlace {
    const char* name;
    int left, top, width, height;
    int tabIndex;
};

// Names the control, puts it at its place and records its focus order in the "tabIndex"
// property, from which the window builds its focus chain (see applyTabOrder).
inline void placeControl(QWidget* control, const ControlPlace& place) {
    control->setObjectName(QString::fromLatin1(place.name));
    control->setGeometry(twipsRect(place.left, place.top, place.width, place.height));
    control->setProperty("tabIndex", place.tabIndex);
}

// Makes a control of type Control from args, as a child of parent, at its place in a layout table:
// placed<QPushButton>(this, {"load", 5040, 360, 855, 255, 4}, QStringLiteral("load")).
template <typename Control, typename... Args>
Control* placed(QWidget* parent, const ControlPlace& place, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    placeControl(control, place);
    return control;
}

// Chains every focusable descendant of window that has a "tabIndex" in the order of those
// numbers.
void applyTabOrder(QWidget* window);

// The tool set's windows are laid out for a small 8-point dialog font; each window sets it so
// captions fit their controls whatever the desktop's own font size.
void useLayoutFont(QWidget* window);

} // namespace widgets
