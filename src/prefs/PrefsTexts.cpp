// The preferences dialog's part of the text table (shell/language.h).
#include "shell/language.h"

#include "prefs/preferen.h"
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

void ApplyPrefsTexts(TPrefs& prefs)
{
    SetTabCaption(prefs.PageControl1, prefs.TabSheet1, QStringLiteral("Display"));
    SetTabCaption(prefs.PageControl1, prefs.TabSheet2, QStringLiteral("Multi-Step"));
    SetTabCaption(prefs.PageControl1, prefs.TabSheet4, QStringLiteral("MCI-Device"));
    SetCaption(prefs.Label1, QStringLiteral("Zoomfactor"));
    SetCaption(prefs.RadioButton4, QStringLiteral("Fullscreen"));
    SetCaption(prefs.Button3, QStringLiteral("Default"));
    SetCaption(prefs.Button2, QStringLiteral("Cancel"));
    SetCaption(prefs.CheckBox1, QStringLiteral("Multi-Step activated"));
    SetCaption(prefs.CheckBox2, QStringLiteral("Store display position"));
    SetCaption(prefs.CheckBox3, QStringLiteral("Disable 'Smart Display'"));
    SetHint(prefs.CheckBox3, QStringLiteral("Check only if you have trouble with MCI devices in smart mode."));
    SetCaption(prefs.CheckBox5, QStringLiteral("Hide Panel"));
    SetHint(prefs.CheckBox5, QStringLiteral("On PLAY the panel is put to background"));
    SetCaption(prefs.Label2, QStringLiteral("Steps per second (1 - 10)"));
    prefs.setWindowTitle(QStringLiteral("Preferences"));
    SetCaption(prefs.Label3, QStringLiteral("Tolerance/Frames ( 1 - 10)"));
    SetCaption(prefs.Label4, QStringLiteral("Min. Tolerance in Milliseconds( 100 - 2000)"));
    SetHint(prefs.Button4, QStringLiteral("Reset Panel to upper left screen border"));
    SetCaption(prefs.Label5, QStringLiteral("Capture directory:"));
    SetHint(prefs.BitBtn1, QStringLiteral("Select directory for captured images"));
    SetCaption(prefs.Label7, QStringLiteral("Counter:"));
    SetCaption(prefs.CheckBox7, QStringLiteral("Make this setting permanent"));
    SetHint(prefs.CheckBox8, QStringLiteral("Do not close if started from command line"));
    SetCaption(prefs.CheckBox4, QStringLiteral("Force MCI device"));
    SetHint(prefs.Button5, QStringLiteral("Reads all available video MCI devices"));
    SetCaption(prefs.CheckBox6, QStringLiteral("Volume controlled by system"));
    SetCaption(prefs.Label9, QStringLiteral("Volume"));
}
