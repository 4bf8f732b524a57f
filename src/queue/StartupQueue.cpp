#include "queue/StartupQueue.h"

#include "display/disp.h"
#include "engine/modul01.h"
#include "queue/Queue.h"
#include "queue/QueueFile.h"
#include "queue/QueueForm.h"
#include "shell/language.h"

#include <QTimer>

void ConnectStartupQueue(TQueueForm& form)
{
    if (!Display || !Display->Timer1)
        return;
    QObject::connect(Display->Timer1, &QTimer::timeout, &form, [] { StartupQueueTimer(); });
}

void StartupQueueTimer()
{
    if (Display && Display->Timer1)
        Display->Timer1->stop();
    const TQueueLoad outcome = LoadQueueFile(MediaPath);
    if (outcome == TQueueLoad::Busy) {
        // The user's own import is loading: the start-up queue comes after it.
        if (Display && Display->Timer1)
            Display->Timer1->start();
        return;
    }
    if (outcome == TQueueLoad::StoppedAtLimit)
        return;
    if (outcome == TQueueLoad::Failed) {
        if (QueueForm)
            QueueForm->ShowMessage(MsgErrorLoading + MediaPath);
        return;
    }
    if (QueueCount() > 0)
        StartQueuePlay(0);
}
