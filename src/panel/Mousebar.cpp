#include "panel/Mousebar.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

TMousebar::TMousebar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setMinimum(0);
    setSingleStep(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(0);
    setFocusPolicy(Qt::NoFocus);
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
    if (event->button() != Qt::LeftButton || held_) {
        event->ignore();
        return;
    }
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
    if (event->button() != Qt::LeftButton || !held_) {
        event->ignore();
        return;
    }
    held_ = false;
    const QPoint p = event->position().toPoint();
    emit OnMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TMousebar::contextMenuEvent(QContextMenuEvent* event)
{
    // A right press during a left drag: the menu takes the left release, so the
    // drag ends here, or the bar would stay in it with the medium paused.
    if (held_) {
        held_ = false;
        emit OnMouseUp(Qt::LeftButton, event->modifiers(), event->pos().x(), event->pos().y());
    }
    event->ignore(); // the panel opens its menu
}

void TMousebar::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

void TMousebar::wheelEvent(QWheelEvent* event)
{
    event->ignore();
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
