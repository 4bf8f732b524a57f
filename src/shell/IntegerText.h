#pragma once
#include <QString>

// Reading a number the user typed, the way the dialogs need it: a signed decimal
// 32-bit integer, blanks around it allowed. Returns false, leaving `value`
// untouched, when the text is no whole number (empty, letters, out of range).
bool TextToInteger(const QString& text, int& value);

// The message shown for a text that is no whole number, with the text quoted.
QString NotAnIntegerMessage(const QString& text);
