#include "panel/Mousebar.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMouseEvent>

TMousebar::TMousebar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setMinimum(0);
    setSingleStep(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(0);
    setFocusPolicy(Qt::StrongFocus);
}

int TMousebar::PositionAt(int x) const
{
    const int w = width();
    if (x < 6)
        return minimum();
    if (x > w - 6)
        return maximum();
    // Multiply first in 64 bits: maximum * x overflows 32 bits on long media.
    return int(qint64(maximum()) * x / w);
}

void TMousebar::mousePressEvent(QMouseEvent* event)
{
    // Taking the focus first gives the owner its enter event before the click.
    setFocus(Qt::MouseFocusReason);
    held_ = true;
    const QPoint p = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TMousebar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit OnMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
    if (held_ && event->buttons() != Qt::NoButton)
        setValue(PositionAt(p.x()));
    event->accept();
}

void TMousebar::mouseReleaseEvent(QMouseEvent* event)
{
    held_ = false;
    const QPoint p = event->position().toPoint();
    emit OnMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TMousebar::contextMenuEvent(QContextMenuEvent* event)
{
    // Here the menu opens on the press and takes the release: end the click first,
    // or the bar would stay in its dragging state with the medium paused.
    if (held_) {
        held_ = false;
        emit OnMouseUp(Qt::RightButton, event->modifiers(), event->pos().x(), event->pos().y());
    }
    event->ignore(); // the panel opens its menu
}

void TMousebar::focusInEvent(QFocusEvent* event)
{
    QSlider::focusInEvent(event);
    emit OnEnter();
}

void TMousebar::focusOutEvent(QFocusEvent* event)
{
    QSlider::focusOutEvent(event);
    emit OnExit();
}
