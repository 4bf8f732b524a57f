#include "panel/PanelSettings.h"

#include "engine/modul01.h"
#include "platform/RegistryEnhanced.h"

#include <QDir>

namespace {

// The conversions are strict: an optional sign and decimal digits, nothing else.
bool ToNumber(const QString& text, int& number)
{
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return false;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok)
        number = value;
    return ok;
}

// A stored number that is no number could only come from editing the file by
// hand; it is taken as absent, so the default stands in for it.
int NumberOrDefault(const QString& text, const QString& def)
{
    int number = 0;
    if (ToNumber(text, number))
        return number;
    ToNumber(def, number);
    return number;
}

// "first N characters; below lo or above hi (empty text included) becomes fallback"
int FirstCharsInRange(const QString& text, int chars, const QString& def, int lo, int hi, int fallback)
{
    const QString head = text.left(chars);
    if (head.isEmpty())
        return fallback;
    const int number = NumberOrDefault(head, def.left(chars));
    return number < lo || number > hi ? fallback : number;
}

Flag OnOnlyFor(TRegistryEnhanced& reg, const char* name, const char* def, const char* literal)
{
    return reg.ReadValue(QString::fromLatin1(name), QString::fromLatin1(def)) == QLatin1String(literal) ? 1 : 0;
}

Flag OffOnlyFor(TRegistryEnhanced& reg, const char* name, const char* def, const char* literal)
{
    return OnOnlyFor(reg, name, def, literal) ? 0 : 1;
}

int Clamped(int value, int least, int most)
{
    return value < least || value > most ? least : value;
}

void Notify(const std::function<void(int)>& callback, int value)
{
    if (callback)
        callback(value);
}

// Before any setting is read.
void SetStartValues()
{
    LastPos = 1;
    SmartDisplay = 1;
    HidePanel = 0;
    DisplayLeft = 0;
    DisplayTop = 38;
    KeyZoomLevel = 0;
    JumpBusy = 0;
    DisplayDraggable = 1;
    CommandLoop = NoVolume = MultiStep = LoopOn = 0;
    ForceDevice = ForceDevicePermanent = 0;
    Volume = CaptureCounter = TimerFactor = TimerMin = Zoom = 0;
    CaptureDir.clear();
    ForcedDevice.clear();
}

void ReadAudioAndCapture(TRegistryEnhanced& reg)
{
    const QString volume = reg.ReadValue(QStringLiteral("WVolume"), QStringLiteral("800"));
    Volume = volume.isEmpty() ? 800 : NumberOrDefault(volume, QStringLiteral("800"));
    // The Windows default "C:\" means the user's own folder here.
    CaptureDir = reg.ReadValue(QStringLiteral("CapDir"), QDir::homePath() + QLatin1Char('/'));
    CaptureCounter = reg.ReadValue(QStringLiteral("WCapCount"), qint32(0));
}

void ReadPanelPlace(TRegistryEnhanced& reg, const QSize& screen, PanelSettingsIO& io)
{
    io.PanelLeft = Clamped(reg.ReadValue(QStringLiteral("PanelX"), qint32(-6)), -6, screen.width() - 80);
    Notify(io.SetPanelLeft, io.PanelLeft);
    io.PanelTop = Clamped(reg.ReadValue(QStringLiteral("PanelY"), qint32(-7)), -7, screen.height() - 30);
    Notify(io.SetPanelTop, io.PanelTop);
}

void ReadDisplayPlace(TRegistryEnhanced& reg, const QSize& screen)
{
    if (LastPos == 1) {
        const QString x = reg.ReadValue(QStringLiteral("X"), QStringLiteral("0"));
        if (!x.isEmpty())
            DisplayLeft = NumberOrDefault(x, QStringLiteral("0"));
        const QString y = reg.ReadValue(QStringLiteral("Y"), QStringLiteral("0"));
        if (!y.isEmpty())
            DisplayTop = NumberOrDefault(y, QStringLiteral("0"));
    }
    // Compared in 64 bits: a stored position near the integer limit must not wrap.
    // Dragging never leaves the window at a negative place; only an edited or
    // foreign settings file does, and it would open the window off the screen.
    const bool beyondEnd = screen.height() < qint64(DisplayTop) + 20 || screen.width() < qint64(DisplayLeft) + 20;
    if (beyondEnd || DisplayLeft < 0 || DisplayTop < 0) {
        DisplayLeft = 0;
        DisplayTop = 38;
    }
}

void ReadTimersAndZoom(TRegistryEnhanced& reg, PanelSettingsIO& io)
{
    TimerFactor = FirstCharsInRange(reg.ReadValue(QStringLiteral("WTimer"), QStringLiteral("10")), 2,
                                    QStringLiteral("10"), 1, 10, 2);
    TimerMin = FirstCharsInRange(reg.ReadValue(QStringLiteral("WTimerMin"), QStringLiteral("500")), 4,
                                 QStringLiteral("500"), 100, 2000, 500);
    io.Timer2Interval = FirstCharsInRange(reg.ReadValue(QStringLiteral("Timer2"), QStringLiteral("250")), 4,
                                          QStringLiteral("250"), 100, 1000, 250);
    Notify(io.SetTimer2Interval, io.Timer2Interval);
    Zoom = FirstCharsInRange(reg.ReadValue(QStringLiteral("Zoom"), QStringLiteral("1")), 1,
                             QStringLiteral("1"), 1, 4, 1);
}

void ReadForcedDevice(TRegistryEnhanced& reg)
{
    if (OnOnlyFor(reg, "ForceDevice", "FALSE", "TRUE") != 1)
        return;
    ForceDevice = 1;
    ForceDevicePermanent = 1;
    ForcedDevice = reg.ReadValue(QStringLiteral("Device"), QString());
}

QString TrueFalse(Flag flag) { return flag == 1 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }
QString OnOff(Flag flag) { return flag == 1 ? QStringLiteral("ON") : QStringLiteral("OFF"); }

} // namespace

void ReadPanelSettings(TRegistryEnhanced& reg, const QSize& screen, PanelSettingsIO& io)
{
    SetStartValues();
    reg.BeginUpdate(); // one look at the file for all reads; nothing is written

    CommandLoop = OnOnlyFor(reg, "CommandLoop", "FALSE", "TRUE");
    NoVolume = OnOnlyFor(reg, "WNoVolume", "true", "true");
    ReadAudioAndCapture(reg);
    ReadPanelPlace(reg, screen, io);
    LastPos = OffOnlyFor(reg, "LastPos", "TRUE", "FALSE");
    HidePanel = OnOnlyFor(reg, "HidePanel", "FALSE", "TRUE");
    SmartDisplay = OffOnlyFor(reg, "SmartDisplay", "TRUE", "FALSE");
    ReadDisplayPlace(reg, screen);
    MultiStep = OnOnlyFor(reg, "MultiStep", "OFF", "ON");
    LoopOn = OnOnlyFor(reg, "LOOP", "OFF", "ON");
    ReadTimersAndZoom(reg, io);
    ReadForcedDevice(reg);
    reg.EndUpdate();
}

bool WritePanelSettings(TRegistryEnhanced& reg, const PanelSettingsIO& io)
{
    const Flag commandLoop = io.QueueForcesCommandLoop ? SavedCommandLoop : CommandLoop;
    reg.BeginUpdate();
    reg.WriteValue(QStringLiteral("WVolume"), QString::number(Volume));
    reg.WriteValue(QStringLiteral("WNoVolume"), NoVolume == 1 ? QStringLiteral("true") : QStringLiteral("false"));
    reg.WriteValue(QStringLiteral("CapDir"), CaptureDir);
    reg.WriteValue(QStringLiteral("HidePanel"), TrueFalse(HidePanel));
    reg.WriteValue(QStringLiteral("SmartDisplay"), TrueFalse(SmartDisplay));
    reg.WriteValue(QStringLiteral("LastPos"), TrueFalse(LastPos));
    reg.WriteValue(QStringLiteral("MultiStep"), OnOff(MultiStep));
    reg.WriteValue(QStringLiteral("Loop"), OnOff(LoopOn));
    reg.WriteValue(QStringLiteral("CommandLoop"), TrueFalse(commandLoop));
    reg.WriteValue(QStringLiteral("WTimer"), QString::number(TimerFactor));
    reg.WriteValue(QStringLiteral("WTimerMin"), QString::number(TimerMin));
    reg.WriteValue(QStringLiteral("Timer2"), QString::number(io.Timer2Interval));
    reg.WriteValue(QStringLiteral("Zoom"), QString::number(Zoom));
    reg.WriteValue(QStringLiteral("X"), QString::number(DisplayLeft));
    reg.WriteValue(QStringLiteral("Y"), QString::number(DisplayTop));
    reg.WriteValue(QStringLiteral("PanelX"), qint32(io.PanelLeft));
    reg.WriteValue(QStringLiteral("PanelY"), qint32(io.PanelTop));
    reg.WriteValue(QStringLiteral("WCapCount"), qint32(CaptureCounter));
    reg.WriteValue(QStringLiteral("ForceDevice"), TrueFalse(ForceDevicePermanent));
    if (ForceDevicePermanent == 1)
        reg.WriteValue(QStringLiteral("Device"), ForcedDevice);
    return reg.EndUpdate();
}
