// What the user reads on the real windows once they have been created as at
// program start: every caption, hint and menu entry of the text table, the texts
// the windows keep as designed, and the messages handed out on the way.
#include "ShellFixture.h"

#include "prefs/preferen.h"
#include "queue/QueueForm.h"
#include "shell/KURL2.h"
#include "shell/gotofram.h"
#include "shell/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// One text of one window: where it is read and written, what it must say, and
// whether the text routine writes it or leaves the design-time text alone.
struct Text {
    QString where;
    std::function<QString()> get;
    std::function<void(const QString&)> set;
    QString expected;
    bool kept = false;
};

Text Tip(const char* where, QWidget* w, const char* expected, bool kept = false)
{
    return {where, [w] { return w->toolTip(); }, [w](const QString& t) { w->setToolTip(t); },
            QString::fromUtf8(expected), kept};
}

Text Caption(const char* where, QAbstractButton* w, const char* expected, bool kept = false)
{
    return {where, [w] { return w->text(); }, [w](const QString& t) { w->setText(t); },
            QString::fromUtf8(expected), kept};
}

Text Caption(const char* where, QLabel* w, const char* expected, bool kept = false)
{
    return {where, [w] { return w->text(); }, [w](const QString& t) { w->setText(t); },
            QString::fromUtf8(expected), kept};
}

Text Caption(const char* where, QAction* a, const char* expected, bool kept = false)
{
    return {where, [a] { return a->text(); }, [a](const QString& t) { a->setText(t); },
            QString::fromUtf8(expected), kept};
}

Text Tab(const char* where, QTabWidget* tabs, QWidget* page, const char* expected, bool kept = false)
{
    return {where, [tabs, page] { return tabs->tabText(tabs->indexOf(page)); },
            [tabs, page](const QString& t) { tabs->setTabText(tabs->indexOf(page), t); },
            QString::fromUtf8(expected), kept};
}

Text Title(const char* where, QWidget* w, const char* expected, bool kept = false)
{
    return {where, [w] { return w->windowTitle(); }, [w](const QString& t) { w->setWindowTitle(t); },
            QString::fromUtf8(expected), kept};
}

constexpr bool Kept = true;

// Every text a window shows: its title, its tabs, what its buttons and labels say
// and every hint. Entry lists and edit fields hold data, not texts of the table.
QSet<QString> ShownTexts(QWidget* window)
{
    QSet<QString> shown{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.append(window);
    for (QWidget* w : widgets) {
        shown << w->toolTip();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            shown << b->text();
        if (auto* l = qobject_cast<QLabel*>(w))
            shown << l->text();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                shown << tabs->tabText(i);
    }
    shown.remove(QString());
    return shown;
}

QSet<QString> ExpectedTexts(const std::vector<Text>& table, const QStringList& windowsOwn)
{
    QSet<QString> all(windowsOwn.begin(), windowsOwn.end());
    for (const Text& t : table)
        all << t.expected;
    return all;
}

// The windows made and created in the order of program start, on a scripted
// service, with a private settings file.
class WindowTexts : public ShellFixture {
protected:
    void TearDown() override
    {
        prefs.reset();
        gotoFrame.reset();
        queue.reset();
        ShellFixture::TearDown();
    }

    void WriteSettings(const QByteArray& text)
    {
        QDir().mkpath(home.path() + QStringLiteral("/Vantu"));
        QFile file(home.path() + QStringLiteral("/Vantu/ZORVEX.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    // No device discovery: the about box shows the command-line note instead.
    void CreateWindows()
    {
        panel->FormCreate();
        panel->show();
        panel->FormShow();
        NoAutoDetect = 1;
        about->FormCreate();
        queue = std::make_unique<TQueueForm>();
        QueueForm = queue.get();
        queue->FormCreate();
        gotoFrame = std::make_unique<TGotoFrameFrm>();
        GotoFrameFrm = gotoFrame.get();
        gotoFrame->FormCreate();
        prefs = std::make_unique<TPrefs>();
        Prefs = prefs.get();
        prefs->FormCreate();
    }

    std::vector<Text> PanelTable() const
    {
        TBedienTeil& p = *panel;
        return {
            Tip("BtnToStart", p.BtnToStart, "To Start"),
            Tip("BtnStepRev", p.BtnStepRev, "Step Reverse"),
            Tip("BtnPlayRev", p.BtnPlayRev, "Play Reverse"),
            Tip("BtnPlay", p.BtnPlay, "Play"),
            Tip("BtnStep", p.BtnStep, "Step Forward"),
            Tip("BtnToEnd", p.BtnToEnd, "To End"),
            Tip("BtnLoop0", p.BtnLoop0, "Switch Loop On"),
            Tip("BtnLoop1", p.BtnLoop1, "Switch Loop Off"),
            Caption("Panel1", p.Panel1, "Press right mouse button for menu"),
            Caption("Open", p.Open, "Open File"),
            {"OpenDialog1", [&p] { return p.OpenDialog1Title; },
             [&p](const QString& t) { p.OpenDialog1Title = t; }, QStringLiteral("Open File")},
            Caption("Close1", p.Close1, "Close File"),
            Caption("GotoFrame", p.GotoFrame, "Goto Frame"),
            Caption("OpenQueue1", p.OpenQueue1, "Open Queue"),
            Caption("ClearQueue1", p.ClearQueue1, "Clear Queue"),
            Caption("EndQueue1", p.EndQueue1, "End Queue"),
            Caption("ConfigureMCIdevice1", p.ConfigureMCIdevice1, "Configure MCI Device"),
            Caption("Preferences1", p.Preferences1, "Preferences"),
            Caption("Exit1", p.Exit1, "Exit"),
            Tip("ShMultiStep", p.ShMultiStep, "Multi-Step active"),
            Tip("ShQueue", p.ShQueue, "Queue active"),
            Tip("BtnStop", p.BtnStop, "Stop", Kept),
            Caption("Info1", p.Info1, "Info", Kept),
        };
    }

    std::vector<Text> GotoFrameTable() const
    {
        return {Title("window", gotoFrame.get(), "Goto Frame"),
                Caption("Button1", gotoFrame->Button1, "OK", Kept)};
    }

    std::vector<Text> InfoTable() const
    {
        TInfoForm& a = *about;
        return {
            Tab("TabSheet2", a.PageControl1, a.TabSheet2, "Video MCI Devices"),
            Tab("TabSheet3", a.PageControl1, a.TabSheet3, "Video MCI Devices"),
            Caption("Label8", a.Label8, "Video MCI Devices"),
            Caption("Label9", a.Label9, "File Extensions"),
            Caption("Label10", a.Label10,
                    "For speed reasons there is no autodetection of MCI devices in command line mode"),
            Tip("KURL21", a.KURL21, "Your feedback is welcome."),
            Tip("KURL22", a.KURL22, "Look for new versions on my website"),
            Tip("KURL23", a.KURL23, "Look for new versions on my website"),
            Title("window", &a, "Vantu's MCI Video File Player", Kept),
            Caption("Label1", a.Label1, "Vantu's MCI Video File Player", Kept),
            Tab("TabSheet1", a.PageControl1, a.TabSheet1, "Info", Kept),
            Caption("Label7", a.Label7, "eMail:", Kept),
            Caption("Label12", a.Label12, "WWW:", Kept),
            Caption("Label5", a.Label5, "or", Kept),
            Caption("Button1", a.Button1, "OK", Kept),
        };
    }

    std::vector<Text> PrefsTable() const
    {
        TPrefs& d = *prefs;
        QTabWidget* tabs = d.PageControl1;
        return {
            Tab("TabSheet1", tabs, d.TabSheet1, "Display"),
            Tab("TabSheet2", tabs, d.TabSheet2, "Multi-Step"),
            Tab("TabSheet4", tabs, d.TabSheet4, "MCI-Device"),
            Caption("Label1", d.Label1, "Zoomfactor"),
            Caption("RadioButton4", d.RadioButton4, "Fullscreen"),
            Caption("Button3", d.Button3, "Default"),
            Caption("Button2", d.Button2, "Cancel"),
            Caption("CheckBox1", d.CheckBox1, "Multi-Step activated"),
            Caption("CheckBox2", d.CheckBox2, "Store display position"),
            Caption("CheckBox3", d.CheckBox3, "Disable 'Smart Display'"),
            Tip("CheckBox3", d.CheckBox3, "Check only if you have trouble with MCI devices in smart mode."),
            Caption("CheckBox5", d.CheckBox5, "Hide Panel"),
            Tip("CheckBox5", d.CheckBox5, "On PLAY the panel is put to background"),
            Caption("Label2", d.Label2, "Steps per second (1 - 10)"),
            Title("window", &d, "Preferences"),
            Caption("Label3", d.Label3, "Tolerance/Frames ( 1 - 10)"),
            Caption("Label4", d.Label4, "Min. Tolerance in Milliseconds( 100 - 2000)"),
            Tip("Button4", d.Button4, "Reset Panel to upper left screen border"),
            Caption("Label5", d.Label5, "Capture directory:"),
            Tip("BitBtn1", d.BitBtn1, "Select directory for captured images"),
            Caption("Label7", d.Label7, "Counter:"),
            Caption("CheckBox7", d.CheckBox7, "Make this setting permanent"),
            Tip("CheckBox8", d.CheckBox8, "Do not close if started from command line"),
            Caption("CheckBox4", d.CheckBox4, "Force MCI device"),
            Tip("Button5", d.Button5, "Reads all available video MCI devices"),
            Caption("CheckBox6", d.CheckBox6, "Volume controlled by system"),
            Caption("Label9", d.Label9, "Volume"),
            Caption("RadioButton1", d.RadioButton1, "1 : 1", Kept),
            Caption("RadioButton2", d.RadioButton2, "2 : 1", Kept),
            Caption("RadioButton3", d.RadioButton3, "3 : 1", Kept),
            Tab("TabSheet3", tabs, d.TabSheet3, "Timer", Kept),
            Tab("Capture", tabs, d.Capture, "Capture", Kept),
            Tab("TabSheet5", tabs, d.TabSheet5, "Audio", Kept),
            Caption("Button4", d.Button4, "Reset Panel", Kept),
            Caption("Button5", d.Button5, "Check Devices", Kept),
            Caption("Button6", d.Button6, "Reset", Kept),
            Caption("Button1", d.Button1, "OK", Kept),
            Caption("CheckBox8", d.CheckBox8, "Command Mode", Kept),
            Caption("Label10", d.Label10, "0 %", Kept),
            Caption("Label11", d.Label11, "50 %", Kept),
            Caption("Label12", d.Label12, "100 %", Kept),
            Tip("Button3", d.Button3, "Setzt alle Einstellungen auf Standardwerte", Kept),
        };
    }

    std::vector<Text> QueueTable() const
    {
        TQueueForm& q = *queue;
        return {
            Tip("BtnAuf", q.BtnAuf, "Move entry up."),
            Tip("BtnAb", q.BtnAb, "Move entry down."),
            Tip("ListBox1", q.ListBox1, "Double click starts queue play with selected entry."),
            Tip("Button1", q.Button1, "OK starts queue play with first queue entry."),
            Title("window", &q, "Queue"),
            Caption("BtnAdd", q.BtnAdd, "Add  >"),
            Caption("BtnDel", q.BtnDel, "<  Remove"),
            Caption("BtnAddAll", q.BtnAddAll, "Add all  >>"),
            Caption("BtnDelAll", q.BtnDelAll, "<<  Rmv all"),
            Caption("Button2", q.Button2, "Cancel"),
            Tip("BtnLoad", q.BtnLoad, "Import queue entries from file."),
            Tip("BtnSave", q.BtnSave, "Export queue entries to file."),
            Caption("Button1", q.Button1, "OK", Kept),
        };
    }

    static void ExpectShown(const std::vector<Text>& table)
    {
        for (const Text& t : table)
            EXPECT_EQ(t.get(), t.expected) << t.where.toStdString();
    }

    // Writes over every text of the table, runs the routine, and checks that it
    // wrote exactly the texts it owns.
    static void ExpectRoutineWritesOnlyItsOwn(const std::vector<Text>& table, const std::function<void()>& apply)
    {
        for (size_t i = 0; i < table.size(); ++i)
            table[i].set(QStringLiteral("deutsch %1").arg(i));
        apply();
        for (size_t i = 0; i < table.size(); ++i) {
            const QString want = table[i].kept ? QStringLiteral("deutsch %1").arg(i) : table[i].expected;
            EXPECT_EQ(table[i].get(), want) << table[i].where.toStdString();
        }
    }

    std::unique_ptr<TQueueForm> queue;
    std::unique_ptr<TGotoFrameFrm> gotoFrame;
    std::unique_ptr<TPrefs> prefs;
};

TEST_F(WindowTexts, EveryWindowShowsEveryTextOfTheTableAfterItsCreation)
{
    CreateWindows();
    ExpectShown(PanelTable());
    ExpectShown(GotoFrameTable());
    ExpectShown(InfoTable());
    ExpectShown(PrefsTable());
    ExpectShown(QueueTable());
}

TEST_F(WindowTexts, EachRoutineWritesItsTextsAndLeavesTheDesignTimeOnesAlone)
{
    CreateWindows();
    ExpectRoutineWritesOnlyItsOwn(PanelTable(), [this] { ApplyPanelTexts(*panel); });
    ExpectRoutineWritesOnlyItsOwn(GotoFrameTable(), [this] { ApplyGotoFrameTexts(*gotoFrame); });
    ExpectRoutineWritesOnlyItsOwn(InfoTable(), [this] { ApplyInfoTexts(*about); });
    ExpectRoutineWritesOnlyItsOwn(PrefsTable(), [this] { ApplyPrefsTexts(*prefs); });
    ExpectRoutineWritesOnlyItsOwn(QueueTable(), [this] { ApplyQueueTexts(*queue); });
}

// A design-time text that no routine replaces and the table does not keep would
// show through in German: nothing a window shows may be outside its table, apart
// from what the window writes itself.
TEST_F(WindowTexts, NoWindowShowsATextOutsideItsTable)
{
    CreateWindows();
    const QString aboutsOwn[] = {about->Label2->text(), about->Label3->text(), about->Label4->text(),
                                 about->KURL21->Label->text(), about->KURL22->Label->text(),
                                 about->KURL23->Label->text()};
    struct Window {
        const char* name;
        QWidget* window;
        std::vector<Text> table;
        QStringList own;
    };
    const Window windows[] = {
        {"panel", panel.get(), PanelTable(), {panel->windowTitle()}},
        {"go to frame", gotoFrame.get(), GotoFrameTable(), {}},
        {"about box", about.get(), InfoTable(), QStringList(std::begin(aboutsOwn), std::end(aboutsOwn))},
        {"preferences", prefs.get(), PrefsTable(), {}},
        {"queue editor", queue.get(), QueueTable(), {}},
    };
    for (const Window& w : windows) {
        const QSet<QString> stray = ShownTexts(w.window) - ExpectedTexts(w.table, w.own);
        EXPECT_TRUE(stray.isEmpty()) << w.name << ": " << QStringList(stray.begin(), stray.end()).join(" | ").toStdString();
    }
    // The panel's menu is not a child window of the panel: its entries count too.
    for (QAction* item : panel->PopupMenu1->actions()) {
        if (!item->isSeparator()) {
            EXPECT_TRUE(ExpectedTexts(PanelTable(), {}).contains(item->text())) << item->text().toStdString();
        }
    }
}

TEST_F(WindowTexts, StepHintSaysMultipleStepWhenThePanelIsShownWithMultiStepOn)
{
    WriteSettings("[General]\nMultiStep=ON\n");
    CreateWindows();
    ASSERT_EQ(MultiStep, 1);
    EXPECT_EQ(panel->BtnStep->toolTip(), "Multiple Step");
}

TEST_F(WindowTexts, PreferencesAreEnglishExceptTheGermanTipOfTheDefaultButton)
{
    CreateWindows();
    EXPECT_EQ(prefs->Button3->text(), "Default");
    EXPECT_EQ(prefs->Button3->toolTip(), "Setzt alle Einstellungen auf Standardwerte");
}

// The menu of the panel, top to bottom: entry, caption, shortcut, enabled at start.
TEST_F(WindowTexts, PopupMenuEntriesShortcutsAndSeparatorsAreInTheirPlaces)
{
    CreateWindows();
    struct Entry {
        QAction* item;  // null: a separator
        const char* caption;
        const char* keys;
        bool enabled;
    };
    TBedienTeil& p = *panel;
    const Entry menu[] = {
        {p.Open, "Open File", "Ctrl+O", true},
        {p.Close1, "Close File", "Ctrl+X", false},
        {nullptr, "", "", true},
        {p.GotoFrame, "Goto Frame", "Ctrl+G", false},
        {nullptr, "", "", true},
        {p.OpenQueue1, "Open Queue", "Ctrl+L", true},
        {p.ClearQueue1, "Clear Queue", "", false},
        {p.EndQueue1, "End Queue", "", false},
        {nullptr, "", "", true},
        {p.ConfigureMCIdevice1, "Configure MCI Device", "", false},
        {p.Preferences1, "Preferences", "Ctrl+P", true},
        {nullptr, "", "", true},
        {p.Info1, "Info", "", true},
        {nullptr, "", "", true},
        {p.Exit1, "Exit", "Ctrl+Q", true},
    };
    const QList<QAction*> shown = p.PopupMenu1->actions();
    ASSERT_EQ(shown.size(), qsizetype(std::size(menu)));
    for (int i = 0; i < shown.size(); ++i) {
        const Entry& e = menu[i];
        if (!e.item) {
            EXPECT_TRUE(shown[i]->isSeparator()) << "place " << i;
            continue;
        }
        EXPECT_EQ(shown[i], e.item) << e.caption;
        EXPECT_EQ(shown[i]->text(), e.caption);
        EXPECT_EQ(shown[i]->shortcut(), QKeySequence(QString::fromLatin1(e.keys))) << e.caption;
        EXPECT_EQ(shown[i]->isEnabled(), e.enabled) << e.caption;
    }
}

TEST_F(WindowTexts, MessagesAreHandedOutByTheWindowsThatAssignThem)
{
    panel->FormCreate();
    panel->show();
    panel->FormShow();
    EXPECT_EQ(MsgNoDeviceConfig, "MCI device does not support configuration");
    EXPECT_EQ(MsgNoDeviceOpen, "No MCI device open.");
    EXPECT_EQ(MsgCanSavePictures, "The currently active MCI device is able of saving pictures.");
    EXPECT_EQ(MsgCannotSavePictures, "The currently active MCI device is NOT capable of saving pictures!");

    queue = std::make_unique<TQueueForm>();
    QueueForm = queue.get();
    queue->FormCreate();
    // It names 32768 although the queue holds at most 32767 entries.
    EXPECT_EQ(MsgQueueFull, "Queue cannot take more than 32768 entries.");
    EXPECT_EQ(MsgDriveNotReady, "Drive not ready");
    EXPECT_EQ(MsgErrorLoading + "/q/a.kql", "Error loading the file /q/a.kql");
    EXPECT_EQ(MsgErrorSaving + "/q/a.kql", "Error saving the file /q/a.kql");
    EXPECT_EQ(MsgLoadingQueue, "Loading queue entries...");
    EXPECT_EQ(MsgCheckingFiles, "Checking existing files...");
    EXPECT_EQ(QString::number(3) + MsgFilesSkipped, "3 missing files were skipped.");
}

} // namespace

namespace {

struct BoxSeen {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Runs `show`, reads the modal box it opens and answers it.
BoxSeen BoxShownBy(const std::function<void()>& show)
{
    BoxSeen seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text().remove('&');
        box->done(0);
    });
    show();
    return seen;
}

} // namespace

TEST_F(WindowTexts, EveryWindowShowsPlainMessagesUnderTheApplicationTitleAndErrorsInTheirOwnBoxes)
{
    CreateWindows();
    const QString title = QStringLiteral("Vantu's MCI Video File Player");
    struct Case {
        const char* what;
        std::function<void()> show;
        QString title;
        QMessageBox::Icon icon;
        QString button;
    };
    const std::vector<Case> cases = {
        {"panel message (configure, capture wrap)", [&] { panel->ShowMessage("m"); }, title, QMessageBox::NoIcon, "OK"},
        {"queue message (skipped files)", [&] { queue->ShowMessage("m"); }, title, QMessageBox::NoIcon, "OK"},
        {"queue error (queue full)", [&] { queue->ShowError("m"); }, "Error", QMessageBox::Critical, "Cancel"},
        {"go-to conversion error", [&] { gotoFrame->ShowError("m"); }, title, QMessageBox::Critical, "OK"},
        {"preferences conversion error", [&] { prefs->ShowError("m"); }, title, QMessageBox::Critical, "OK"},
    };
    for (const Case& c : cases) {
        const BoxSeen seen = BoxShownBy(c.show);
        EXPECT_EQ(seen.title, c.title) << c.what;
        EXPECT_EQ(seen.icon, c.icon) << c.what;
        EXPECT_EQ(seen.buttons, QStringList {c.button}) << c.what;
    }
}
