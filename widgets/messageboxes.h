#pragma once

#include "fileerror.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

// The modal boxes both programs show. Each is a real QMessageBox, so tests answer it by its
// buttons like a user would.

// Asks a Yes/No question with Yes as the default button; true only when Yes was pressed.
bool askYesNo(QWidget* parent, const QString& title, const QString& text,
              QMessageBox::Icon icon = QMessageBox::NoIcon);

// Reports a failure with the critical icon; the title is the program's name.
void showFailure(QWidget* parent, const QString& message);
void showFailure(QWidget* parent, const FileError& error);

// An OK box without icon.
void showMessage(QWidget* parent, const QString& title, const QString& text);
