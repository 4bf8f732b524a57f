#include "panel/QueueDrop.h"

#include "panel/ZORVEX32.h"
#include "queue/Queue.h"
#include "queue/QueueForm.h"
#include "shell/DropFileTarget.h"

#include <QPushButton>

void RegisterPanelDropTarget(TBedienTeil& panel)
{
    if (!panel.DropFileTarget1) {
        panel.DropFileTarget1 = new TDropFileTarget(&panel);
        panel.DropFileTarget1->Dragtypes = DragTypeSet(dtCopy);
        panel.DropFileTarget1->GetDataOnEnter = false;
        panel.DropFileTarget1->ShowImage = true;
        panel.DropFileTarget1->OnDrop = [&panel](QObject* sender, const TShiftState& shift, const QPoint& point,
                                                 int& effect) {
            panel.DropFileTarget1Drop(sender, shift, point, effect);
        };
    }
    panel.DropFileTarget1->RegisterWindow(&panel);
}

void RevokePanelDropTarget(TBedienTeil& panel)
{
    if (panel.DropFileTarget1)
        panel.DropFileTarget1->UnregisterWindow();
}

// The effect stays as chosen, so the source sees a copy.
void TBedienTeil::DropFileTarget1Drop(QObject*, const TShiftState&, const QPoint&, int&)
{
    // A copy: the names go on after modal messages that could let events in.
    const QStringList names = DropFileTarget1->DroppedFiles;
    ClearQueueList();
    for (const QString& name : names) {
        if (AddQueueEntry(name) && QueueForm)
            QueueForm->BtnDelAll->setEnabled(true);
        if (QueueForm)
            QueueForm->chk_list();
    }
    raise();
    activateWindow();
    if (QueueCount() > 0)
        StartQueuePlay(0);
}
