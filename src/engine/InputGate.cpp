#include "engine/InputGate.h"

#include <QCoreApplication>
#include <QEvent>

InputGate::InputGate(Allowed allowed) : allowed_(std::move(allowed))
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputGate::~InputGate()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputGate::isUserInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

bool InputGate::eventFilter(QObject* receiver, QEvent* event)
{
    if (!isUserInput(*event))
        return false;
    return !(allowed_ && allowed_(receiver, event));
}
