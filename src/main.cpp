// Program entry: the windows come into being in a fixed order, each creation
// handler running to its end before the next window exists; the panel's
// shutdown handler runs once at the end, whatever ended the run.
#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "mci/MciService.h"
#include "panel/ZORVEX32.h"
#include "platform/MallocArenas.h"
#include "platform/TerminationSignals.h"
#include "platform/X11OnWayland.h"
#include "prefs/preferen.h"
#include "queue/QueueForm.h"
#include "shell/Info.h"
#include "shell/MessageBoxes.h"
#include "mpris/MprisService.h"
#include "shell/ProgramIcon.h"
#include "shell/gotofram.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <memory>

namespace {

// The error box of the execute channel. KELD32_ERRORS_TO_STDERR=1 prints the text
// instead, so that scripted runs under a virtual display never wait on a box.
void installErrorBox()
{
    if (qEnvironmentVariableIntValue("KELD32_ERRORS_TO_STDERR") == 1) {
        SetMciErrorHook([](const QString& text) {
            std::fprintf(stderr, "KELD32: %s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
        });
        return;
    }
    SetMciErrorHook([](const QString& text) { ShowRuntimeError(nullptr, text); });
}

// Every argument after the program name, decoded as Qt decodes its own.
QStringList playerArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char** argv)
{
    LimitMallocArenas();
    PreferX11OnWayland();
    // The command line is the player's own: Qt would take options such as -reverse,
    // -style=... or -stylesheet FILE out of it and act on them, so a file of that
    // name could not be played. Qt is shown the program name only.
    const QStringList arguments = playerArguments(argc, argv);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // libmpv refuses to start under any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The title stays the program's own: a display name would be appended to every
    // window caption on X11, and the panel's caption is the player's status line.
    QApplication::setApplicationName(QStringLiteral("KELD32"));
    QApplication::setWindowIcon(ProgramIcon());

    auto service = std::make_unique<mci::MciService>();
    SetMciBackend(service.get());
    installErrorBox();

    // A logout or `kill` ends the run as Exit does, so the settings are written. The
    // handler is in place before any window shows; a signal that arrives while the
    // windows are still being made (a message box can run the event loop) is kept
    // until they all exist.
    std::unique_ptr<TBedienTeil> panel;
    bool windowsMade = false;
    bool exitAsked = false;
    TerminationSignals termination([&] {
        if (windowsMade && panel)
            panel->ExitProgramClick();
        else
            exitAsked = true;
    });

    panel = std::make_unique<TBedienTeil>();
    BedienTeil = panel.get();
    panel->FormCreate();
    panel->show();
    panel->FormShow();

    auto display = std::make_unique<TDisplay>();
    Display = display.get();
    display->FormCreate(arguments);

    // The about box runs device discovery unless the command line was used.
    auto info = std::make_unique<TInfoForm>();
    InfoForm = info.get();
    info->FormCreate();
    auto queue = std::make_unique<TQueueForm>();
    QueueForm = queue.get();
    queue->FormCreate();
    auto gotoFrame = std::make_unique<TGotoFrameFrm>();
    GotoFrameFrm = gotoFrame.get();
    gotoFrame->FormCreate();
    auto prefs = std::make_unique<TPrefs>();
    Prefs = prefs.get();
    prefs->FormCreate();

    panel->InfoWindow = info.get();
    panel->QueueWindow = queue.get();
    panel->GotoFrameWindow = gotoFrame.get();
    panel->PrefsWindow = prefs.get();

    // Media keys and desktop widgets reach the panel's handlers over the session bus.
    auto mpris = std::make_unique<MprisService>(*panel);
    windowsMade = true;
    if (exitAsked)
        panel->ExitProgramClick();

    int exitCode = 0;
    if (!panel->ProgramEndRequested)
        exitCode = app.exec();
    mpris.reset();

    panel->FormDestroy();
    prefs.reset();
    gotoFrame.reset();
    queue.reset();
    info.reset();
    display.reset();
    panel.reset();
    SetMciErrorHook(nullptr);
    SetMciBackend(nullptr);
    return exitCode;
}
