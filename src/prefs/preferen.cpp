#include "prefs/preferen.h"

#include "shell/CheckVideoDevices.h"
#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "shell/Info.h"
#include "shell/IntegerText.h"
#include "shell/MessageBoxes.h"
#include "shell/PanelRequests.h"
#include "shell/language.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

TPrefs* Prefs = nullptr;

namespace {

// Multi-step speed: the dialog speaks in steps per second, the panel's timer in
// milliseconds between steps. Both directions use whole-number division, so
// 3 steps give 333 ms and 333 ms shows as 3 again.
int StepIntervalFor(int stepsPerSecond)
{
    return 1000 / qMax(1, stepsPerSecond);
}

int StepsPerSecondFor(int interval)
{
    return qBound(1, 1000 / qMax(1, interval), 10);
}

} // namespace

TPrefs::TPrefs(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    if (!Prefs)
        Prefs = this;
    setModal(false);
    setWindowTitle(QStringLiteral("Einstellungen"));
    PageControl1 = new QTabWidget(this);
    // All six tabs stay in sight: the dialog is as wide as its tab row.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->setElideMode(Qt::ElideNone);
    BuildDisplayTab();
    BuildMultiStepTab();
    BuildTimerTab();
    BuildCaptureTab();
    BuildDeviceTab();
    BuildAudioTab();
    BuildButtons();
    WireHandlers();
    Edit1->setText(QString::number(TrackBar1->value()));
    Edit2->setText(QString::number(TrackBar2->value()));
    Edit3->setText(QString::number(TrackBar3->value()));

    // The devices are those that discovery put into the about box.
    DeviceList = [] { return InfoForm ? InfoForm->DeviceNames() : QStringList(); };
    CheckVideoDevicesHook = [] { CheckVideoDevices(); };
    ChooseDirectory = [this](const QString& current) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Capture Directory"), current);
    };
    ShowError = [this](const QString& text) { ShowRuntimeError(this, text); };
}

TPrefs::~TPrefs()
{
    if (Prefs == this)
        Prefs = nullptr;
}

QColor TPrefs::CanSaveColour()
{
    return QColor(0, 128, 0);
}

QColor TPrefs::CannotSaveColour()
{
    return QColor(255, 0, 0);
}

void TPrefs::WireHandlers()
{
    // Check boxes and radio buttons run their handlers on every change of state,
    // from the user or from code, as the steps below rely on.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton3Click(); });
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton4Click(); });
    connect(CheckBox1, &QCheckBox::toggled, this, &TPrefs::CheckBox1Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TPrefs::CheckBox3Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &TPrefs::CheckBox4Click);
    connect(CheckBox6, &QCheckBox::toggled, this, &TPrefs::CheckBox6Click);
    connect(TrackBar1, &QSlider::valueChanged, this, &TPrefs::TrackBar1Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TPrefs::TrackBar2Change);
    connect(TrackBar3, &QSlider::valueChanged, this, &TPrefs::TrackBar3Change);
    // Only a choice by the user tests a device; filling the list does not.
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, &TPrefs::ComboBox1Change);
    connect(Button1, &QPushButton::clicked, this, &TPrefs::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPrefs::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TPrefs::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TPrefs::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TPrefs::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TPrefs::Button6Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TPrefs::BitBtn1Click);
}

void TPrefs::FormCreate()
{
    ApplyPrefsTexts(*this);
    FillDeviceList(DeviceList ? DeviceList() : QStringList());
    if (ComboBox1->count() == 0) {
        // Discovery was skipped: the forced device stays unusable until the
        // user asks for the devices.
        Button5->setEnabled(true);
        Button5->show();
        CheckBox4->setEnabled(false);
        CheckBox7->setEnabled(false);
    }
}

void TPrefs::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TPrefs::FormShow()
{
    if (!Button5->isEnabled())
        ShowDeviceControls();
    CheckBox8->setChecked(UsersCommandLoop() == 1);
    QString counter = QString::number(CaptureCounter);
    // A counter that has outgrown the field's five digits is shown whole, so
    // that OK does not cut it.
    MaskEdit1->setMaxLength(qMax(5, int(counter.size())));
    MaskEdit1->setText(counter);
    CheckBox6->setChecked(NoVolume == 1);
    SetVolumeControlsEnabled(NoVolume != 1);
    CheckBox1->setChecked(MultiStep == 1);
    CheckBox2->setChecked(LastPos == 1);
    if (SmartDisplay == 1) {
        CheckBox3->setChecked(false);
        CheckBox2->setEnabled(true);
    } else {
        CheckBox3->setChecked(true);
        CheckBox2->setChecked(false);
        CheckBox2->setEnabled(false);
    }
    int interval = 250;
    emit ThePanelRequests().StepIntervalWanted(interval);
    TrackBar1->setValue(StepsPerSecondFor(interval));
    Edit1->setText(QString::number(TrackBar1->value()));
    TrackBar2->setValue(TimerFactor);
    Edit2->setText(QString::number(TrackBar2->value()));
    TrackBar3->setValue(TimerMin);
    Edit3->setText(QString::number(TrackBar3->value()));
    TrackBar4->setValue(Volume);
    ShowZoom();
    ZoomAtShow = Zoom;
    Edit4->setText(CaptureDir);
    ShowCaptureAbility();
    CheckBox5->setChecked(HidePanel == 1);
}

void TPrefs::ShowDeviceControls()
{
    CheckBox7->setChecked(ForceDevicePermanent == 1);
    if (ForceDevice == 1) {
        // Ticking an unticked box runs the forced-device handler: the open medium
        // is closed and the device tested.
        CheckBox4->setChecked(true);
        CheckBox7->setEnabled(true);
    } else {
        CheckBox7->setEnabled(false);
        CheckBox7->setChecked(false);
    }
}

void TPrefs::ShowZoom()
{
    QRadioButton* const buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    if (Zoom >= 1 && Zoom <= 4) {
        buttons[Zoom - 1]->setChecked(true);
        return;
    }
    for (QRadioButton* b : buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void TPrefs::ShowCaptureAbility()
{
    if (MediaOpen != 1)
        Label6->setText(MsgNoDeviceOpen);
    else if (CanSave == 1)
        Label6->setText(MsgCanSavePictures);
    else
        Label6->setText(MsgCannotSavePictures);
}

void TPrefs::Button1Click()
{
    int counter = 0;
    if (!TextToInteger(MaskEdit1->text(), counter)) {
        // Nothing is taken over; the dialog stays open for a correction.
        if (ShowError)
            ShowError(NotAnIntegerMessage(MaskEdit1->text()));
        return;
    }
    CaptureCounter = counter;
    CaptureDir = Edit4->text();
    TakeOverTimers();
    if (MediaOpen == 1 && CanStretch == 1 && Zoom != ZoomAtShow)
        PlaceVideo();
    // While the start-up queue holds CommandLoop on, the choice waits for its end.
    UsersCommandLoop() = CheckBox8->isChecked() ? 1 : 0;
    TakeOverMultiStep();
    LastPos = CheckBox2->isChecked() ? 1 : 0;
    HidePanel = CheckBox5->isChecked() ? 1 : 0;
    TakeOverSmartDisplay();
    if (!Button5->isEnabled())
        ForceDevicePermanent = CheckBox7->isChecked() ? 1 : 0;
    ShowPanelInFront();
    hide();
}

void TPrefs::TakeOverTimers()
{
    emit ThePanelRequests().StepIntervalChosen(StepIntervalFor(TrackBar1->value()));
    TimerFactor = TrackBar2->value();
    TimerMin = TrackBar3->value();
    Volume = TrackBar4->value();
    if (MediaOpen != 1)
        return;
    // Sent whatever "volume controlled by system" says; the reply does not matter.
    QString reply;
    quint32 error = 0;
    SendMciString(vid::setVolume(TrackBar4->value()), reply,
                  error);
    // The poll only gets its new interval; it runs again once playback starts.
    emit ThePanelRequests().PollIntervalChosen(PollInterval(FrameRate, TimerFactor, TimerMin));
}

void TPrefs::TakeOverMultiStep()
{
    MultiStep = CheckBox1->isChecked() ? 1 : 0;
    emit ThePanelRequests().MultiStepShown(MultiStep == 1);
}

void TPrefs::TakeOverSmartDisplay()
{
    // A change of the display mode closes the medium: it has to be opened again
    // to be shown the new way.
    const Flag wanted = CheckBox3->isChecked() ? 0 : 1;
    if (wanted != SmartDisplay && MediaOpen == 1)
        CloseOpenMedium();
    SmartDisplay = wanted;
}

void TPrefs::ShowPanelInFront()
{
    emit ThePanelRequests().ShowInFrontWanted();
}

void TPrefs::Button2Click()
{
    // Undoes nothing: what the immediate handlers changed stays in effect.
    hide();
}

void TPrefs::reject()
{
    Button2Click();
}

void TPrefs::Button3Click()
{
    Zoom = 1;
    TimerFactor = 2;
    TimerMin = 500;
    emit ThePanelRequests().StepIntervalChosen(250);
    MultiStep = 0;
    SmartDisplay = 1;
    LastPos = 1;
    FormShow();
}
