#pragma once
#include <QString>

class QWidget;

// The player's two kinds of box, and the box of a runtime error. Every window shows
// its messages through these, so that titles, icons and buttons agree everywhere.

// The application title: the caption of plain boxes and of the about box.
QString ApplicationTitle();

// A plain message: the application title, no icon, one "OK" button.
void ShowPlainMessage(QWidget* parent, const QString& text);

// An error box: error icon, title "Error", one "Cancel" button.
void ShowErrorBox(QWidget* parent, const QString& text);

// A text that is not a number where one is read: the runtime shows its error with
// the application title, an error icon and one "OK" button.
void ShowRuntimeError(QWidget* parent, const QString& text);
