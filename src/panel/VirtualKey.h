#pragma once
#include <QtGlobal>
#include <Qt>

// Windows virtual-key codes of the keys the keyboard commands know. The one place
// where Qt's keys meet these codes.
enum VirtualKeyCode : quint16 {
    VkPageUp = 33,
    VkPageDown = 34,
    VkEnd = 35,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkSelect = 41,
    VkPrint = 42,
    VkExecute = 43,
    VkSnapshot = 44,
    VkInsert = 45,
    VkDelete = 46,
    VkAdd = 107,       // plus of the numeric keypad
    VkSubtract = 109,  // minus of the numeric keypad
    VkOemPlus = 187,   // plus (or equals) key of the main block
    VkOemMinus = 189,  // minus key of the main block
};

// The code of a Qt key; the keypad modifier tells keypad plus and minus from the
// main block's. Returns 0 for keys without a code of interest.
quint16 VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// The keys both windows hand to HandleKeyDown: 33..46, keypad plus and minus, and
// the plus/equals and minus keys of the main block.
bool IsKeyDownCommand(quint16 virtualKey);

// Whether a key pressed with `modifiers` types a character for the character
// commands: plain keys do (Shift included, as "*" needs it on most keyboards);
// Ctrl, Alt and Meta combinations do not, so Ctrl+minus only changes the volume.
bool TypesCharacter(Qt::KeyboardModifiers modifiers);
