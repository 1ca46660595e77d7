#pragma once

#include "core/fileerror.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

namespace widgets {

// The modal boxes both programs show. Each is a real QMessageBox, so tests answer it by its
// buttons like a user would. A box shows its text as plain text, wrapped so that it is read whole
// (long words break anywhere), and is at least as wide as its title needs (see titleBarWidth),
// within the widest a message box may be on its screen.

// Asks a Yes/No question with Yes as the default button (No where Yes would drop work); true
// only when Yes was pressed.
bool askYesNo(QWidget* parent, const QString& title, const QString& text,
              QMessageBox::Icon icon = QMessageBox::NoIcon,
              QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

// Reports a failure with the critical icon; the title is the program's name.
void showFailure(QWidget* parent, const QString& message);
void showFailure(QWidget* parent, const level::FileError& error);

// A warning with the warning icon (something may not work as meant); the title is the program's
// name.
void showWarning(QWidget* parent, const QString& message);

// An OK box without icon.
void showMessage(QWidget* parent, const QString& title, const QString& text);

// The width a window needs for its whole title in a window manager's title bar: the title in the
// title font that the platform reports or in a somewhat larger bold application font, whichever
// is wider, beside room for the window's icon and buttons.
int titleBarWidth(const QString& title);

} // namespace widgets
