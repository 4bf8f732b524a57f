#pragma once
#include <QtGlobal>
#include <Qt>

// The keyboard commands shared by the control panel and the display window.
// `key` is a Windows virtual-key code (see VirtualKey.h), `shift` the held modifiers.
// Both do nothing unless a medium is open.
void HandleKeyDown(quint16 key, Qt::KeyboardModifiers shift);
void HandleKeyChar(char ch);

// The modifiers the commands look at: Shift, Ctrl and Alt (the keypad flag and
// Meta are not part of the shift state).
Qt::KeyboardModifiers HeldModifiers(Qt::KeyboardModifiers shift);
