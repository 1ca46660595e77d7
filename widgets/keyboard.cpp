#include "widgets/keyboard.h"

#include <QPushButton>

namespace widgets {

// Outside a dialog an auto-default button answers Return and Enter only while it has the focus
// (QPushButton::keyPressEvent); only a QDialog turns it into the button that Enter presses from
// elsewhere.
void letEnterPressFocusedButtons(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace widgets
