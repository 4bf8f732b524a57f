#pragma once
#include <QPoint>
#include <QtGlobal>

#include <functional>

class QObject;

// Shared types of the drop-target components. Drop effects are bit values: copy 1,
// move 2, link 4 (the same bits as Qt's drop actions).

enum TDragType { dtCopy = 0, dtMove = 1, dtLink = 2 };
// A set of drag types; bit i stands for the effect 1 shl i.
using TDragTypes = quint8;

constexpr int DropEffectNone = 0;
constexpr int DropEffectCopy = 1;
constexpr int DropEffectMove = 2;
constexpr int DropEffectLink = 4;

constexpr TDragTypes DragTypeSet(TDragType type) { return TDragTypes(1u << type); }

// The held modifier keys and mouse buttons during a drag.
struct TShiftState {
    Qt::KeyboardModifiers Keys;
    Qt::MouseButtons Buttons;
};

// Sender, shift state, point in client coordinates of the registered window, and
// the effect the handler may change.
using TDropTargetEvent =
    std::function<void(QObject* Sender, const TShiftState& ShiftState, const QPoint& Point, int& Effect)>;
using TDropLeaveEvent = std::function<void(QObject* Sender)>;

// `allowed` without the effects outside `types`; bits other than the three stay.
int RestrictDropEffect(int allowed, TDragTypes types);
// The effect a drag gets without a handler of its own: Shift+Ctrl links, Shift
// moves, otherwise copy, move or link, the first one allowed.
int DefaultDropEffect(const TShiftState& shift, int allowed);
