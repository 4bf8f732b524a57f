#include "panel/VirtualKey.h"

quint16 VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (qtKey) {
    case Qt::Key_PageUp: return VkPageUp;
    case Qt::Key_PageDown: return VkPageDown;
    case Qt::Key_End: return VkEnd;
    case Qt::Key_Home: return VkHome;
    case Qt::Key_Left: return VkLeft;
    case Qt::Key_Up: return VkUp;
    case Qt::Key_Right: return VkRight;
    case Qt::Key_Down: return VkDown;
    case Qt::Key_Select: return VkSelect;
    case Qt::Key_Printer: return VkPrint;
    case Qt::Key_Execute: return VkExecute;
    case Qt::Key_Print: return VkSnapshot;
    case Qt::Key_Insert: return VkInsert;
    case Qt::Key_Delete: return VkDelete;
    case Qt::Key_Plus: return keypad ? VkAdd : VkOemPlus;
    case Qt::Key_Equal: return VkOemPlus;
    case Qt::Key_Minus: return keypad ? VkSubtract : VkOemMinus;
    case Qt::Key_Underscore: return VkOemMinus;
    default: return 0;
    }
}

bool IsKeyDownCommand(quint16 virtualKey)
{
    return (virtualKey > 32 && virtualKey < 47) || virtualKey == VkAdd || virtualKey == VkSubtract
        || virtualKey == VkOemPlus || virtualKey == VkOemMinus;
}

bool TypesCharacter(Qt::KeyboardModifiers modifiers)
{
    return !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}
