#include "engine/modul01.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "panel/Mousebar.h"
#include "panel/ZORVEX32.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

QString MediaPath;
QString MediaName;
QString MediaExt;
Flag MediaOpen = 0;
int OpenResult = 0;

Flag CanReverse = 0;
Flag CanSave = 0;
Flag CanStretch = 0;
int FrameRate = 0;
int FrameCount = 0;
int TrackScale = 0;
int SourceWidth = 0;
int SourceHeight = 0;

Flag Playing = 0;
Flag PlayingReverse = 0;
Flag Paused = 0;
Flag PausedReverse = 0;

Flag LoopOn = 0;
Flag MultiStep = 0;
Flag QueueActive = 0;
Flag CommandLoop = 0;
Flag SavedCommandLoop = 0;
Flag CommandLoopHeld = 0;

int Zoom = 0;
Flag SmartDisplay = 1;
Flag HidePanel = 0;
Flag PanelInFront = 0;
Flag LastPos = 1;
int DisplayLeft = 0;
int DisplayTop = 38;
Flag DisplayDraggable = 1;
int KeyZoomLevel = 0;
int KeyZoomStepX = 0;
int KeyZoomStepY = 0;

Flag ForceDevice = 0;
Flag ForceDevicePermanent = 0;
QString ForcedDevice;
Flag NoVolume = 0;
int Volume = 0;
int TimerFactor = 0;
int TimerMin = 0;

Flag CommandLineDone = 0;
Flag NoAutoDetect = 0;
QString CommandLineExt;

QString MciReply;
quint32 MciError = 0;

int CurrentFrame = 0;
int PreviousFrame = 0;
QString PositionText;
Flag TrackDragging = 0;

int KeyZoomLeft = 0;
int KeyZoomTop = 0;
int KeyZoomWidth = 0;
int KeyZoomHeight = 0;
int CaptureCounter = 0;
QString CaptureDir;
QString CaptureName;
Flag JumpBusy = 0;

int ZoomAtShow = 0;

void ResetPlayerState()
{
    MediaPath.clear(); MediaName.clear(); MediaExt.clear();
    MediaOpen = 0; OpenResult = 0;
    CanReverse = CanSave = CanStretch = 0;
    FrameRate = FrameCount = TrackScale = SourceWidth = SourceHeight = 0;
    Playing = PlayingReverse = Paused = PausedReverse = 0;
    LoopOn = MultiStep = QueueActive = CommandLoop = SavedCommandLoop = CommandLoopHeld = 0;
    Zoom = 0; SmartDisplay = 1; HidePanel = 0; PanelInFront = 0; LastPos = 1;
    DisplayLeft = 0; DisplayTop = 38; DisplayDraggable = 1;
    KeyZoomLevel = KeyZoomStepX = KeyZoomStepY = 0;
    ForceDevice = ForceDevicePermanent = 0; ForcedDevice.clear();
    NoVolume = 0; Volume = 0; TimerFactor = 0; TimerMin = 0;
    CommandLineDone = NoAutoDetect = 0; CommandLineExt.clear();
    MciReply.clear(); MciError = 0;
    CurrentFrame = PreviousFrame = 0; PositionText.clear(); TrackDragging = 0;
    KeyZoomLeft = KeyZoomTop = KeyZoomWidth = KeyZoomHeight = 0;
    CaptureCounter = 0; CaptureDir.clear(); CaptureName.clear(); JumpBusy = 0;
    ZoomAtShow = 0;
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

void setPollTimer(bool on)
{
    if (!BedienTeil || !BedienTeil->Timer1)
        return;
    if (!on)
        BedienTeil->Timer1->stop();
    else if (!BedienTeil->Timer1->isActive())
        BedienTeil->Timer1->start();
}

void setMediaMenuItems(bool enabled)
{
    if (!BedienTeil)
        return;
    for (QAction* item : {BedienTeil->Close1, BedienTeil->GotoFrame, BedienTeil->ConfigureMCIdevice1}) {
        if (item)
            item->setEnabled(enabled);
    }
}

void setControl(QWidget* control, bool visible, bool enabled)
{
    if (!control)
        return;
    control->setVisible(visible);
    control->setEnabled(enabled);
}

void setEnabled(QWidget* control, bool enabled)
{
    if (control)
        control->setEnabled(enabled);
}

void takeKeyZoomSteps()
{
    if (!Display)
        return;
    KeyZoomStepX = Display->width() / 10;
    KeyZoomStepY = Display->height() / 10;
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

void queryRateAndLength()
{
    SendMciString(vid::setTimeFormatFrames(), MciReply, MciError);
    SendMciString(vid::statusNominalFrameRate(), MciReply, MciError);
    FrameRate = FrameRateFromReply(MciReply);
    if (BedienTeil && BedienTeil->Timer1)
        BedienTeil->Timer1->setInterval(PollInterval(FrameRate, TimerFactor, TimerMin));

    SendMciString(vid::statusLength(), MciReply, MciError);
    // A length that is not a number counts as an empty medium rather than ending the open.
    bool ok = false;
    FrameCount = MciReply.toInt(&ok);
    if (!ok)
        FrameCount = 0;
    TrackScale = TrackScaleFor(FrameCount);
    if (BedienTeil && BedienTeil->Trackbar1)
        BedienTeil->Trackbar1->setMaximum(std::max(0, FrameCount / TrackScale));
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
    if (SmartDisplay == 1 && Display)
        SendMciString(vid::windowHandle(Display->HandleText()), MciReply, MciError);
    PlaceVideo();
}

} // namespace

void OpenMedia(const QString& path, int& result)
{
    setPollTimer(false);
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
    setPollTimer(true);
    setMediaMenuItems(true);
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
    if (Display)
        Display->hide();
    setPollTimer(false);
    setMediaMenuItems(false);
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

void ShowNoMediaState()
{
    Playing = PlayingReverse = PausedReverse = Paused = CanReverse = 0;
    TBedienTeil* p = BedienTeil;
    if (!p)
        return;
    p->setWindowTitle(QStringLiteral("Vantu's MCI Video File Player"));
    setEnabled(p->BtnStop, false);
    for (QWidget* b : {static_cast<QWidget*>(p->BtnToStart), static_cast<QWidget*>(p->BtnStepRev),
                       static_cast<QWidget*>(p->BtnStep), static_cast<QWidget*>(p->BtnToEnd)})
        setEnabled(b, false);
    setControl(p->BtnRevPause, false, false);
    setControl(p->BtnPlayRev, true, false);
    setControl(p->BtnPlayPause, false, false);
    setControl(p->BtnPlay, true, false);
    setControl(p->BtnLoop0, true, false);
    setControl(p->BtnLoop1, false, false);
    setControl(p->Trackbar1, false, false);
    setControl(p->Panel1, true, true);
    if (p->ShMultiStep)
        p->ShMultiStep->hide();
    if (p->ShQueue)
        p->ShQueue->hide();
}

void ShowMediaReadyState()
{
    Playing = PlayingReverse = PausedReverse = Paused = 0;
    TBedienTeil* p = BedienTeil;
    if (!p)
        return;
    p->setWindowTitle(MediaName.toUpper());
    setEnabled(p->BtnStop, false);
    for (QWidget* b : {static_cast<QWidget*>(p->BtnToStart), static_cast<QWidget*>(p->BtnStepRev),
                       static_cast<QWidget*>(p->BtnStep), static_cast<QWidget*>(p->BtnToEnd)})
        setEnabled(b, true);
    setControl(p->BtnRevPause, false, false);
    if (CanReverse == 1)
        setControl(p->BtnPlayRev, true, true);
    setControl(p->BtnPlayPause, false, false);
    setControl(p->BtnPlay, true, true);
    setControl(p->BtnLoop0, LoopOn != 1, LoopOn != 1);
    setControl(p->BtnLoop1, LoopOn == 1, LoopOn == 1);
    setControl(p->Trackbar1, true, true);
    setControl(p->Panel1, false, false);
    if (MultiStep == 1 && p->ShMultiStep)
        p->ShMultiStep->show();
    if (QueueActive == 1 && p->ShQueue)
        p->ShQueue->show();
}

// ---- Video placement -------------------------------------------------------------

namespace {

void sizeDisplayByZoom()
{
    if (Zoom >= 1 && Zoom <= 3) {
        Display->setGeometry(DisplayLeft, DisplayTop, SourceWidth * Zoom, SourceHeight * Zoom);
    } else if (Zoom == 4) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : Display->size();
        Display->setGeometry(0, 0, size.width(), size.height());
    }
}

} // namespace

void PlaceVideo()
{
    if (!Display)
        return;
    sizeDisplayByZoom();
    if (SmartDisplay == 1) {
        if (MediaExt != QLatin1String("MID"))
            Display->show();
        SendMciString(vid::putDestination(0, 0, Display->width(), Display->height()), MciReply, MciError);
    } else if (Zoom == 4) {
        SendMciString(vid::putWindow(0, 0, Display->width(), Display->height()), MciReply, MciError);
    } else {
        SendMciString(vid::putWindow(0, 38, Display->width(), Display->height()), MciReply, MciError);
    }
    takeKeyZoomSteps();
}
