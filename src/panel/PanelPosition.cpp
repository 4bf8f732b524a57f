// The position poll, the timers around it, and seeking with the track bar.
#include "panel/ZORVEX32.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "panel/Mousebar.h"
#include "queue/Queue.h"

#include <QTimer>
#include <QToolButton>

namespace {

// "status vid position" as a frame number; false when the reply is not a number,
// in which case no position may be taken from it.
bool QueryPosition(int& frame)
{
    quint32 error = 0;
    SendMciString(vid::statusPosition(), PositionText, error);
    PositionText = PositionText.trimmed();
    bool ok = false;
    const int value = PositionText.toInt(&ok);
    if (ok)
        frame = value;
    return ok;
}

void SeekTo(int frame)
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::seekTo(frame), reply, error);
}

} // namespace

QString TBedienTeil::StatusCaption(const QString& position) const
{
    QString caption = MediaName + QStringLiteral("     -     Frame:  ") + position
        + QStringLiteral(" / ") + QString::number(FrameCount);
    // The length is still growing: the user sees that it is not the last word.
    if (IndexedPercent < 100)
        caption += QStringLiteral("  (indexing %1 %)").arg(IndexedPercent);
    if (QueueActive == 1)
        caption += QueueCaptionSuffix();
    return caption;
}

void TBedienTeil::Timer1Timer()
{
    PollPosition(false);
}

void TBedienTeil::PollPosition(bool playEnded)
{
    if (MediaOpen != 1) {
        PreviousFrame = CurrentFrame;
        return;
    }
    RefreshGrowingLength();
    int frame = 0;
    if (!QueryPosition(frame))
        return; // a device that failed: nothing taken, the next tick tries again
    CurrentFrame = frame;
    const int scale = TrackScale > 0 ? TrackScale : 1;
    Trackbar1->setValue(qMin(CurrentFrame, FrameCount) / scale);

    const bool ended = Playing && (playEnded || CurrentFrame == PreviousFrame);
    if (ended && !MediumEnded())
        return;
    setWindowTitle(StatusCaption(PositionText));
    // A loop or the next queue entry has begun a watch of its own; the old
    // medium's last position must not take part in it.
    if (!ended)
        PreviousFrame = CurrentFrame;
}

bool TBedienTeil::MediumEnded()
{
    if (CommandLineDone == 1 && CommandLoop == 0)
        TerminateProgram();
    if (QueueActive == 1)
        return AdvanceQueue();
    if (BtnLoop1->isEnabled()) {
        RestartLoop();
    } else {
        ShowStoppedButtons();
        BringToFront();
    }
    return true;
}

void TBedienTeil::Timer2Timer()
{
    if (MediaOpen != 1)
        return;
    QString reply;
    quint32 error = 0;
    SendMciString(vid::step(), reply, error);
}

void TBedienTeil::Timer3Timer()
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::statusMode(), reply, error);
    if (reply.contains(QLatin1String("playing"))) {
        Timer1->start();
        Timer3->stop();
        return;
    }
    if (MediaOpen != 1) {
        Timer3->stop();
        return;
    }
    // Paused or stopped before the device was seen playing: the position still
    // has to be followed.
    if (!Playing) {
        Timer3->stop();
        Timer1->start();
        return;
    }
    // Play found the medium at its end, or ran out before the watch saw it.
    if (reply.contains(QLatin1String("stopped"))) {
        Timer3->stop();
        Timer1->start();
        PollPosition(true);
    }
}

void TBedienTeil::Timer4Timer()
{
    DisplayDraggable = 1;
    Timer4->stop();
}

void TBedienTeil::TrackBar1Enter()
{
    Timer1->stop();
}

void TBedienTeil::TrackBar1Exit()
{
    Timer1->start();
}

void TBedienTeil::TrackBar1Change()
{
    if (TrackDragging != 1)
        return;
    const int target = int(qint64(Trackbar1->value()) * TrackScale);
    SeekTo(target);
    setWindowTitle(StatusCaption(QString::number(target)));
}

bool TBedienTeil::SeekAndVerify(int& target)
{
    // A device that lands far from the frame asked for is asked again for the
    // frames after it, at most 20 times.
    for (int attempt = 0; attempt < 20; ++attempt) {
        SeekTo(target);
        int landed = 0;
        if (!QueryPosition(landed))
            return false;
        if (landed > target - 50 && landed < target + 50)
            return true;
        if (attempt < 19)
            ++target;
    }
    return true;
}

void TBedienTeil::PressTrackBar()
{
    Timer1->stop();
    TrackDragging = 1;
    if (Playing)
        PauseMedia();
}

void TBedienTeil::SeekTrackTarget(int target)
{
    CurrentFrame = target;
    const bool numeric = SeekAndVerify(target);
    CurrentFrame = target;
    if (!numeric)
        return;
    setWindowTitle(StatusCaption(QString::number(target)));
}

void TBedienTeil::Trackbar1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    Q_UNUSED(y);
    PressTrackBar();
    Trackbar1->setValue(Trackbar1->PositionAt(x));
    SeekTrackTarget(int(qMin<qint64>(qint64(Trackbar1->value()) * TrackScale, FrameCount)));
}

void TBedienTeil::TrackBarSeekFrame(int frame)
{
    const int target = qBound(0, frame, qMax(0, FrameCount.Value()));
    const int scale = TrackScale > 0 ? TrackScale : 1;
    PressTrackBar();
    Trackbar1->setValue(target / scale);
    SeekTrackTarget(target);
    Trackbar1MouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
}

void TBedienTeil::Trackbar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    // Play resumes and its watch hands back to the poll; a still medium is
    // polled at once, so that keys after the click are followed in the caption.
    if (Playing)
        ResumeAfterSeek();
    else
        Timer1->start();
    TrackDragging = 0;
}
