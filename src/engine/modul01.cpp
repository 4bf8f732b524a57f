#include "engine/modul01.h"

#include "engine/MCI_FUNC.h"
#include "engine/VideoWindow.h"
#include "engine/VidCommands.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>

QString& MediaPath = ThePlayer().Record().MediaPath;
QString& MediaName = ThePlayer().Record().MediaName;
QString& MediaExt = ThePlayer().Record().MediaExt;
Watched<Flag>& MediaOpen = ThePlayer().Record().MediaOpen;
int& OpenResult = ThePlayer().Record().OpenResult;
Flag& CanReverse = ThePlayer().Record().CanReverse;
Flag& CanSave = ThePlayer().Record().CanSave;
Flag& CanStretch = ThePlayer().Record().CanStretch;
int& FrameRate = ThePlayer().Record().FrameRate;
Watched<int>& FrameCount = ThePlayer().Record().FrameCount;
int& IndexedPercent = ThePlayer().Record().IndexedPercent;
int& TrackScale = ThePlayer().Record().TrackScale;
int& SourceWidth = ThePlayer().Record().SourceWidth;
int& SourceHeight = ThePlayer().Record().SourceHeight;
Flag& LoopOn = ThePlayer().Record().LoopOn;
Flag& MultiStep = ThePlayer().Record().MultiStep;
Watched<Flag>& QueueActive = ThePlayer().Record().QueueActive;
Flag& CommandLoop = ThePlayer().Record().CommandLoop;
Flag& SavedCommandLoop = ThePlayer().Record().SavedCommandLoop;
Flag& CommandLoopHeld = ThePlayer().Record().CommandLoopHeld;
int& Zoom = ThePlayer().Record().Zoom;
Flag& SmartDisplay = ThePlayer().Record().SmartDisplay;
Flag& HidePanel = ThePlayer().Record().HidePanel;
Flag& PanelInFront = ThePlayer().Record().PanelInFront;
Flag& LastPos = ThePlayer().Record().LastPos;
int& DisplayLeft = ThePlayer().Record().DisplayLeft;
int& DisplayTop = ThePlayer().Record().DisplayTop;
Flag& DisplayDraggable = ThePlayer().Record().DisplayDraggable;
int& KeyZoomLevel = ThePlayer().Record().KeyZoomLevel;
int& KeyZoomStepX = ThePlayer().Record().KeyZoomStepX;
int& KeyZoomStepY = ThePlayer().Record().KeyZoomStepY;
Flag& ForceDevice = ThePlayer().Record().ForceDevice;
Flag& ForceDevicePermanent = ThePlayer().Record().ForceDevicePermanent;
QString& ForcedDevice = ThePlayer().Record().ForcedDevice;
Flag& NoVolume = ThePlayer().Record().NoVolume;
Watched<int>& Volume = ThePlayer().Record().Volume;
int& TimerFactor = ThePlayer().Record().TimerFactor;
int& TimerMin = ThePlayer().Record().TimerMin;
Flag& CommandLineDone = ThePlayer().Record().CommandLineDone;
Flag& NoAutoDetect = ThePlayer().Record().NoAutoDetect;
QString& CommandLineExt = ThePlayer().Record().CommandLineExt;
QString& MciReply = ThePlayer().Record().MciReply;
quint32& MciError = ThePlayer().Record().MciError;
Watched<int>& CurrentFrame = ThePlayer().Record().CurrentFrame;
int& PreviousFrame = ThePlayer().Record().PreviousFrame;
QString& PositionText = ThePlayer().Record().PositionText;
Watched<Flag>& TrackDragging = ThePlayer().Record().TrackDragging;
int& KeyZoomLeft = ThePlayer().Record().KeyZoomLeft;
int& KeyZoomTop = ThePlayer().Record().KeyZoomTop;
int& KeyZoomWidth = ThePlayer().Record().KeyZoomWidth;
int& KeyZoomHeight = ThePlayer().Record().KeyZoomHeight;
int& CaptureCounter = ThePlayer().Record().CaptureCounter;
QString& CaptureDir = ThePlayer().Record().CaptureDir;
QString& CaptureName = ThePlayer().Record().CaptureName;
Flag& JumpBusy = ThePlayer().Record().JumpBusy;
int& ZoomAtShow = ThePlayer().Record().ZoomAtShow;

const TransportFlag Playing(TransportState::Playing);
const TransportFlag PlayingReverse(TransportState::PlayingReverse);
const TransportFlag Paused(TransportState::Paused);
const TransportFlag PausedReverse(TransportState::PausedReverse);

void ResetPlayerState()
{
    ThePlayer().Reset();
}

Flag& UsersCommandLoop()
{
    return CommandLoopHeld == 1 ? SavedCommandLoop : CommandLoop;
}

// ---- Name routines -----------------------------------------------------------

void ExtractNameUpper(const QString& path, QString& name)
{
    // The backslash is the Windows separator; paths on this platform use "/", and
    // cutting there too keeps a Linux directory out of the caption and the extension.
    const int cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    name = path.mid(cut + 1).toUpper();
}

QString ExtractNameUpper(const QString& path)
{
    QString name;
    ExtractNameUpper(path, name);
    return name;
}

void ExtractLast3(const QString& text, QString& last3)
{
    last3 = text.size() < 3 ? text : text.right(3);
}

QString ExtractLast3(const QString& text)
{
    QString last3;
    ExtractLast3(text, last3);
    return last3;
}

// ---- Arithmetic of the open sequence -------------------------------------------

int FrameRateFromReply(const QString& reply)
{
    // A reply that is not a number is taken as no reply: the device has no rate to offer.
    bool ok = false;
    const qlonglong rate1000 = reply.toLongLong(&ok);
    if (!ok)
        return 25;
    const qlonglong rate = rate1000 / 1000;
    if (rate == 0)
        return 25;
    // A negative rate cannot time a poll; the default rate can.
    if (rate < 0 || rate > 1000000)
        return 25;
    return static_cast<int>(rate);
}

int PollInterval(int frameRate, int timerFactor, int timerMin)
{
    const int safeRate = frameRate > 0 ? frameRate : 25;
    int interval = (1000 / safeRate) * timerFactor;
    if (timerMin > interval)
        interval = timerMin;
    return interval;
}

int IndexedPercentFromReply(const QString& reply)
{
    bool ok = false;
    const int percent = reply.trimmed().toInt(&ok);
    // A device that does not know the item indexes at open: its length is final.
    return ok && percent >= 0 && percent < 100 ? percent : 100;
}

int TrackScaleFor(int frameCount)
{
    struct Row { int upTo; int scale; };
    static constexpr Row rows[] = {
        {32766, 1},     {65533, 2},       {98300, 3},        {131067, 4},
        {196601, 5},    {327669, 10},     {3276699, 100},    {32766999, 1000},
        {327669999, 10000},
    };
    for (const Row& row : rows) {
        if (frameCount <= row.upTo)
            return row.scale;
    }
    return 100000;
}

bool SourceSizeFromReply(const QString& reply, int& width, int& height)
{
    // "left top width height": the third and fourth numbers are the natural size.
    const QStringList parts = reply.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 4)
        return false;
    bool okW = false;
    bool okH = false;
    const int w = parts.at(2).toInt(&okW);
    const int h = parts.at(3).toInt(&okH);
    // A negative size cannot be drawn; the old one still can.
    if (!okW || !okH || w < 0 || h < 0)
        return false;
    width = w;
    height = h;
    return true;
}

// ---- Opening and closing -----------------------------------------------------

namespace {

void takeKeyZoomSteps()
{
    const VideoWindow* window = ThePlayer().Window();
    if (!window)
        return;
    KeyZoomStepX = window->Geometry().width() / 10;
    KeyZoomStepY = window->Geometry().height() / 10;
}

// MCI has no escape for a double quote inside a quoted element, and the command
// line is one line: such a path would end the quoting early and let the rest of
// the name be read as keywords (another alias, another file). It is refused.
bool pathCanBeQuoted(const QString& path)
{
    for (const QChar c : path)
        if (c == QLatin1Char('"') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

// A file name whose bytes are not UTF-8 reaches us with U+FFFD in their place (Qt
// decodes names on the way in), so it names no file: say so instead of "not found".
bool nameLostItsBytes(const QString& path)
{
    return path.contains(QChar(QChar::ReplacementCharacter)) && !QFileInfo::exists(path);
}

// The forced device's name comes from the settings file, which a user may edit: a
// name with blanks or quotes would add keywords of its own to the open command.
// MCI device names are single words.
bool deviceNameIsOneWord(const QString& name)
{
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
            return false;
    return true;
}

QString openCommand(const QString& path)
{
    const QString element = QLatin1Char('"') + path + QLatin1Char('"');
    if (ForceDevice == 1)
        return vid::openWithDevice(ForcedDevice, element);
    return vid::open(element);
}

// Why the open command for `path` must not be sent (empty when it may): every
// way to open a file comes through here, so each refusal is explained once.
QString openRefusal(const QString& path)
{
    if (!pathCanBeQuoted(path))
        return QStringLiteral("The file name holds a double quote or a control character, which cannot be "
                              "passed to the MCI device. Rename the file and try again.\n\n")
               + path;
    if (nameLostItsBytes(path))
        return QStringLiteral("The file name is not valid UTF-8 text, so it cannot be passed to the MCI "
                              "device. Rename the file and try again.\n\n")
               + path;
    if (ForceDevice == 1 && !deviceNameIsOneWord(ForcedDevice))
        return QStringLiteral("The forced MCI device name is not a device name. Choose the device again in "
                              "the preferences.\n\n")
               + ForcedDevice;
    return {};
}

void queryCapabilities()
{
    SendMciString(vid::capability("can reverse"), MciReply, MciError);
    CanReverse = MciReplyIsTrue(MciReply) ? 1 : 0;
    SendMciString(vid::capability("can save"), MciReply, MciError);
    CanSave = MciReplyIsTrue(MciReply) ? 1 : 0;
}

// The length in frames and the track bar's range that follows from it.
void takeLength(const QString& reply)
{
    // A length that is not a number counts as an empty medium rather than ending the open.
    bool ok = false;
    FrameCount = reply.toInt(&ok);
    if (!ok)
        FrameCount = 0;
    TrackScale = TrackScaleFor(FrameCount);
    emit ThePlayer().TrackRangeChosen(std::max(0, FrameCount / TrackScale));
}

void queryRateAndLength()
{
    SendMciString(vid::setTimeFormatFrames(), MciReply, MciError);
    SendMciString(vid::statusNominalFrameRate(), MciReply, MciError);
    FrameRate = FrameRateFromReply(MciReply);
    emit ThePlayer().PollIntervalChosen(PollInterval(FrameRate, TimerFactor, TimerMin));

    SendMciString(vid::statusLength(), MciReply, MciError);
    takeLength(MciReply);
    SendMciString(vid::statusIndexed(), MciReply, MciError);
    IndexedPercent = IndexedPercentFromReply(MciReply);
}

void hostVideo()
{
    SendMciString(vid::capability("can stretch"), MciReply, MciError);
    if (!MciReplyIsTrue(MciReply)) {
        CanStretch = 0;
        SendMciString(vid::windowStateShowNormal(), MciReply, MciError);
        return;
    }
    CanStretch = 1;
    SendMciString(vid::whereSource(), MciReply, MciError);
    SourceSizeFromReply(MciReply, SourceWidth, SourceHeight);
    const VideoWindow* window = ThePlayer().Window();
    if (SmartDisplay == 1 && window)
        SendMciString(vid::windowHandle(window->HandleText()), MciReply, MciError);
    PlaceVideo();
}

} // namespace

void RefreshGrowingLength()
{
    if (MediaOpen != 1 || IndexedPercent >= 100)
        return;
    QString reply;
    quint32 error = 0;
    // Asked first: once it says 100, the length read after it is the final one.
    SendMciString(vid::statusIndexed(), reply, error);
    IndexedPercent = IndexedPercentFromReply(reply);
    SendMciString(vid::statusLength(), reply, error);
    takeLength(reply);
}

void OpenMedia(const QString& path, int& result)
{
    emit ThePlayer().PositionPollSwitched(false);
    BeginEndOfMediumWatch();
    const QString refusal = openRefusal(path);
    if (!refusal.isEmpty()) {
        ShowMciError(refusal);
        result = 0;
        return;
    }
    result = mciExecute(openCommand(path)) ? 1 : 0;
    if (result == 0)
        return;

    ExtractLast3(MediaName, MediaExt);
    MediaOpen = 1;
    if (NoVolume == 0)
        SendMciString(vid::setVolume(Volume), MciReply, MciError);
    queryCapabilities();
    queryRateAndLength();
    hostVideo();

    MediaOpen = 1;
    emit ThePlayer().PositionPollSwitched(true);
    emit ThePlayer().MediaMenuSwitched(true);
    result = 1;
    takeKeyZoomSteps();
    KeyZoomLevel = 0;
}

void CloseMedia(int& result)
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::close(), reply, error);
    result = static_cast<int>(error);
    MediaOpen = 0;
    ShowNoMediaState();
    if (VideoWindow* window = ThePlayer().Window())
        window->HideWindow();
    emit ThePlayer().PositionPollSwitched(false);
    emit ThePlayer().MediaMenuSwitched(false);
}

bool LoadMedia(const QString& path)
{
    MediaPath = path;
    ExtractNameUpper(MediaPath, MediaName);
    if (MediaOpen == 1)
        CloseMedia(OpenResult);
    OpenMedia(MediaPath, OpenResult);
    if (OpenResult != 0) {
        ShowMediaReadyState();
        return true;
    }
    CloseMedia(OpenResult);
    return false;
}

// ---- Panel states --------------------------------------------------------------
// The flags are cleared here; the panel's controls follow in the panel's slots.

void ShowNoMediaState()
{
    ThePlayer().Transition(TransportState::NoMedium);
    CanReverse = 0;
    emit ThePlayer().NoMediaStateShown();
}

void ShowMediaReadyState()
{
    ThePlayer().Transition(TransportState::Stopped);
    emit ThePlayer().MediaReadyStateShown();
}

// ---- Video placement -------------------------------------------------------------

namespace {

void sizeDisplayByZoom(VideoWindow& window)
{
    if (Zoom >= 1 && Zoom <= 3) {
        window.SetGeometry(QRect(DisplayLeft, DisplayTop, SourceWidth * Zoom, SourceHeight * Zoom));
    } else if (Zoom == 4) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : window.Geometry().size();
        window.SetGeometry(QRect(0, 0, size.width(), size.height()));
    }
}

} // namespace

void PlaceVideo()
{
    VideoWindow* window = ThePlayer().Window();
    if (!window)
        return;
    sizeDisplayByZoom(*window);
    if (SmartDisplay == 1 && MediaExt != QLatin1String("MID"))
        window->ShowWindow();
    const QSize size = window->Geometry().size();
    if (SmartDisplay == 1)
        SendMciString(vid::putDestination(0, 0, size.width(), size.height()), MciReply, MciError);
    else if (Zoom == 4)
        SendMciString(vid::putWindow(0, 0, size.width(), size.height()), MciReply, MciError);
    else
        SendMciString(vid::putWindow(0, 38, size.width(), size.height()), MciReply, MciError);
    takeKeyZoomSteps();
}
