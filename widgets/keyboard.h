#pragma once

#include <QWidget>

namespace widgets {

// Return and Enter press the push button that has the keyboard focus, as on Windows desktops, in
// every push button inside window (a window that is no dialog). No button becomes a default
// button: Enter while another control has the focus presses nothing.
void letEnterPressFocusedButtons(QWidget* window);

} // namespace widgets
