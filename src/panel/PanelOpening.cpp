// The panel while an open runs behind it (engine/OpenInProgress.h): its menu offers
// only what ends the open (Open File, Close File, Exit), and each of those ends the
// open first and then does what it does.
#include "panel/ZORVEX32.h"

#include "display/disp.h"
#include "engine/OpenInProgress.h"
#include "engine/Player.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

void TBedienTeil::ObserveOpening()
{
    connect(&ThePlayer(), &Player::OpenUnderWaySwitched, this, &TBedienTeil::SwitchOpeningMenu);
    SetOpenInputFilter([this](QObject* receiver, QEvent* event) { return LetThroughWhileOpening(receiver, event); });
}

bool TBedienTeil::EndsTheOpen(const QAction* item) const
{
    return item == Open || item == Close1 || item == Exit1;
}

bool TBedienTeil::LetThroughWhileOpening(QObject* receiver, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::Shortcut:
        return EndsTheOpen(qobject_cast<QAction*>(receiver));
    case QEvent::ContextMenu: {
        // Where the menu is asked for: the panel and the display window.
        auto* widget = qobject_cast<QWidget*>(receiver);
        return widget && (widget == this || isAncestorOf(widget) || qobject_cast<TDisplay*>(widget));
    }
    default:
        // Inside the menu, whose other items are off for the open.
        return receiver == PopupMenu1;
    }
}

void TBedienTeil::SwitchOpeningMenu(bool on)
{
    if (on) {
        EnabledBeforeOpening.clear();
        for (QAction* item : PopupMenu1->actions()) {
            EnabledBeforeOpening.insert(item, item->isEnabled());
            item->setEnabled(EndsTheOpen(item));
        }
        return;
    }
    for (auto it = EnabledBeforeOpening.cbegin(); it != EnabledBeforeOpening.cend(); ++it)
        it.key()->setEnabled(it.value());
    EnabledBeforeOpening.clear();
}

bool TBedienTeil::EndOpenFirst(void (TBedienTeil::*handler)())
{
    if (!OpenUnderWay())
        return false;
    EndOpenThen([this, handler] { (this->*handler)(); });
    return true;
}
