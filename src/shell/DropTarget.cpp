#include "shell/DropTarget.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QWidget>

namespace {

TShiftState shiftOf(const QDropEvent* event)
{
    return TShiftState{event->modifiers(), event->buttons()};
}

int allowedOf(const QDropEvent* event)
{
    return int(event->possibleActions()) & (DropEffectCopy | DropEffectMove | DropEffectLink);
}

// Tells the drag source the effect; none shows the no-drop cursor.
void answer(QDropEvent* event, int effect)
{
    const int action = effect & (DropEffectCopy | DropEffectMove | DropEffectLink);
    if (action == DropEffectNone) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::DropAction(action));
    event->accept();
}

} // namespace

TDropTarget::TDropTarget(QObject* owner)
    : QObject(owner)
{
}

TDropTarget::~TDropTarget()
{
    // The window may be going away with us (it owns us); only our filter goes.
    if (window_)
        window_->removeEventFilter(this);
}

void TDropTarget::RegisterWindow(QWidget* window)
{
    if (window == window_)
        return;
    UnregisterWindow();
    window_ = window;
    if (!window_)
        return;
    window_->setAcceptDrops(true);
    window_->installEventFilter(this);
}

void TDropTarget::UnregisterWindow()
{
    if (!window_)
        return;
    window_->removeEventFilter(this);
    window_->setAcceptDrops(false);
    window_ = nullptr;
    data_ = nullptr;
}

int TDropTarget::ChooseDropEffect(const TShiftState& shift, const QPoint& point, int allowed)
{
    int effect = RestrictDropEffect(allowed, Dragtypes);
    if (OnGetDropEffect) {
        OnGetDropEffect(this, shift, point, effect);
        return effect;
    }
    return DefaultDropEffect(shift, effect);
}

bool TDropTarget::DragEnter(const QMimeData* data, const TShiftState& shift, const QPoint& point, int& effect)
{
    ResetData();
    data_ = data;
    if (!data_ || !AcceptsFormat()) {
        data_ = nullptr;
        effect = DropEffectNone;
        return false;
    }
    if (GetDataOnEnter)
        FetchData();
    lastPoint_ = point;
    effect = ChooseDropEffect(shift, point, effect);
    if (OnEnter)
        OnEnter(this, shift, point, effect);
    return true;
}

void TDropTarget::DragOver(const TShiftState& shift, const QPoint& point, int& effect)
{
    effect = ChooseDropEffect(shift, point, effect);
    if (OnDragOver)
        OnDragOver(this, shift, point, effect);
    lastPoint_ = point;
}

void TDropTarget::DragLeave()
{
    ResetData();
    data_ = nullptr;
    if (OnLeave)
        OnLeave(this);
}

void TDropTarget::Drop(const QMimeData* data, const TShiftState& shift, const QPoint& point, int& effect)
{
    if (data)
        data_ = data;
    effect = ChooseDropEffect(shift, point, effect);
    if (!data_ || (!GetDataOnEnter && !FetchData())) {
        effect = DropEffectNone;
    } else if (OnDrop) {
        OnDrop(this, shift, point, effect);
    }
    ResetData();
    data_ = nullptr;
}

bool TDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        int effect = allowedOf(drag);
        const bool taken = DragEnter(drag->mimeData(), shiftOf(drag), drag->position().toPoint(), effect);
        answer(drag, taken ? effect : DropEffectNone);
        return true;
    }
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        int effect = allowedOf(drag);
        DragOver(shiftOf(drag), drag->position().toPoint(), effect);
        answer(drag, effect);
        return true;
    }
    case QEvent::DragLeave:
        DragLeave();
        event->accept();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        int effect = allowedOf(drop);
        Drop(drop->mimeData(), shiftOf(drop), drop->position().toPoint(), effect);
        answer(drop, effect);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
