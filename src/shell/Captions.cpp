#include "shell/Captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QWidget>

void SetCaption(QAbstractButton* control, const QString& text)
{
    if (control)
        control->setText(text);
}

void SetCaption(QLabel* control, const QString& text)
{
    if (control)
        control->setText(text);
}

void SetCaption(QAction* item, const QString& text)
{
    if (item)
        item->setText(text);
}

void SetTabCaption(QTabWidget* tabs, QWidget* page, const QString& text)
{
    const int index = tabs && page ? tabs->indexOf(page) : -1;
    if (index >= 0)
        tabs->setTabText(index, text);
}

void SetHint(QWidget* control, const QString& text)
{
    if (control)
        control->setToolTip(text);
}
