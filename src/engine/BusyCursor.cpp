#include "engine/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    shown_ = true;
}

BusyCursor::~BusyCursor()
{
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}
