// The control panel's part of the text table (shell/language.h).
#include "shell/language.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "shell/Captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

// The play-pause and reverse-pause buttons have no hint.
void ApplyPanelTexts(TBedienTeil& panel)
{
    SetHint(panel.BtnToStart, QStringLiteral("To Start"));
    SetHint(panel.BtnStepRev, QStringLiteral("Step Reverse"));
    SetHint(panel.BtnPlayRev, QStringLiteral("Play Reverse"));
    SetHint(panel.BtnPlay, QStringLiteral("Play"));
    AssignPanelMessages();
    SetHint(panel.BtnStep, MultiStep == 1 ? HintMultipleStep : HintStepForward);
    SetHint(panel.BtnToEnd, QStringLiteral("To End"));
    SetHint(panel.BtnLoop0, QStringLiteral("Switch Loop On"));
    SetHint(panel.BtnLoop1, QStringLiteral("Switch Loop Off"));
    SetCaption(panel.Panel1, QStringLiteral("Press right mouse button for menu"));
    SetCaption(panel.Open, QStringLiteral("Open File"));
    panel.OpenDialog1Title = QStringLiteral("Open File");
    SetCaption(panel.Close1, QStringLiteral("Close File"));
    SetCaption(panel.GotoFrame, QStringLiteral("Goto Frame"));
    SetCaption(panel.OpenQueue1, QStringLiteral("Open Queue"));
    SetCaption(panel.ClearQueue1, QStringLiteral("Clear Queue"));
    SetCaption(panel.EndQueue1, QStringLiteral("End Queue"));
    SetCaption(panel.ConfigureMCIdevice1, QStringLiteral("Configure MCI Device"));
    SetCaption(panel.Preferences1, QStringLiteral("Preferences"));
    SetCaption(panel.Exit1, QStringLiteral("Exit"));
    SetHint(panel.ShMultiStep, QStringLiteral("Multi-Step active"));
    SetHint(panel.ShQueue, QStringLiteral("Queue active"));
}
