#pragma once
#include "shell/DropSource.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class QMimeData;

// A drop target on Qt's drag and drop: registered for one window, it computes the
// effect, asks the subclass for the data it wants and raises its events. Only the
// registered window takes drops.
class TDropTarget : public QObject {
    Q_OBJECT
public:
    explicit TDropTarget(QObject* owner = nullptr);
    ~TDropTarget() override;

    TDragTypes Dragtypes = 0;
    bool GetDataOnEnter = false;
    // Kept for the component's users; the drag source draws its own image here.
    bool ShowImage = true;
    TDropTargetEvent OnEnter;
    TDropTargetEvent OnDragOver;
    TDropTargetEvent OnDrop;
    TDropTargetEvent OnGetDropEffect;
    TDropLeaveEvent OnLeave;

    // Takes drops for `window` (none: for no window), giving up the one held.
    void RegisterWindow(QWidget* window);
    void UnregisterWindow();
    QWidget* Window() const { return window_; }

    int ChooseDropEffect(const TShiftState& shift, const QPoint& point, int allowed);

    // The drag as it passes over the window. DragEnter answers false for data
    // without the wanted format; Drop leaves `effect` none when nothing was dropped.
    bool DragEnter(const QMimeData* data, const TShiftState& shift, const QPoint& point, int& effect);
    void DragOver(const TShiftState& shift, const QPoint& point, int& effect);
    void DragLeave();
    void Drop(const QMimeData* data, const TShiftState& shift, const QPoint& point, int& effect);

protected:
    virtual bool FetchData() = 0;
    virtual void ResetData() = 0;
    virtual bool AcceptsFormat() const = 0;
    const QMimeData* DataObject() const { return data_; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    const QMimeData* data_ = nullptr;
    QPoint lastPoint_;
};
