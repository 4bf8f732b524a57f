// Start-up and shutdown of the control panel: the settings are read when the
// panel is created and written back once, as the program ends.
#include "panel/ZORVEX32.h"

#include "engine/modul01.h"
#include "panel/PanelSettings.h"
#include "panel/QueueDrop.h"
#include "platform/RegistryEnhanced.h"
#include "shell/MessageBoxes.h"
#include "shell/language.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdlib>

namespace {

QSize screenSizeOf(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

} // namespace

void TBedienTeil::FormCreate()
{
    // Qt ends the program with exit() when its X connection breaks, past every
    // window's destruction: the settings are written on that way out too.
    static const bool exitHook = std::atexit([] {
        if (BedienTeil)
            BedienTeil->WriteSettingsOnce();
    }) == 0;
    (void)exitHook;
    if (!RegData) {
        RegData = new TRegistryEnhanced(this);
        RegData->Key = QStringLiteral("Software\\Vantu\\ZORVEX\\");
        RegData->RootKey = hkCurrentUser;
    }
    PanelSettingsIO io;
    io.SetPanelLeft = [this](int left) { move(left, y()); };
    io.SetPanelTop = [this](int top) { move(x(), top); };
    io.SetTimer2Interval = [this](int interval) {
        if (Timer2)
            Timer2->setInterval(interval);
    };
    ReadPanelSettings(*RegData, screenSizeOf(this), io);
    // Only the panel takes files dropped from the desktop.
    RegisterPanelDropTarget(*this);
}

void TBedienTeil::FormShow()
{
    setWindowTitle(ApplicationTitle());
    ApplyPanelTexts(*this);
    ShowNoMediaState();
    PanelInFront = 1;
}

void TBedienTeil::FormActivate()
{
    PanelInFront = 1;
}

void TBedienTeil::FormClick()
{
    PanelInFront = 1;
}

void TBedienTeil::ExitProgramClick()
{
    // An open under way is ended first, which can take a moment; the windows go now.
    LeaveScreen();
    if (EndOpenFirst(&TBedienTeil::ExitProgramClick))
        return;
    ShowNoMediaState();
    TerminateProgram();
}

void TBedienTeil::WriteSettingsOnce()
{
    if (!RegData || SettingsWritten)
        return;
    SettingsWritten = true;
    PanelSettingsIO io;
    io.PanelLeft = x();
    io.PanelTop = y();
    io.Timer2Interval = Timer2 ? Timer2->interval() : 250;
    io.QueueForcesCommandLoop = CommandLoopHeld == 1;
    WritePanelSettings(*RegData, io);
}

void TBedienTeil::FormDestroy()
{
    // The settings are written before the medium is closed: nothing written depends
    // on the close, and a media engine that fails while tearing down its window must
    // never cost the user the settings.
    WriteSettingsOnce();
    CloseMedia(OpenResult);
    RevokePanelDropTarget(*this);
}
