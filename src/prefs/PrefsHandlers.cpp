// The handlers of the preferences dialog that act at once, and the forced-device
// test shared by the device controls.
#include "prefs/preferen.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "platform/RegistryEnhanced.h"
#include "shell/PanelRequests.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

void TPrefs::RadioButton1Click() { Zoom = 1; }
void TPrefs::RadioButton2Click() { Zoom = 2; }
void TPrefs::RadioButton3Click() { Zoom = 3; }
void TPrefs::RadioButton4Click() { Zoom = 4; }

void TPrefs::CheckBox1Click()
{
    const bool on = CheckBox1->isChecked();
    TrackBar1->setEnabled(on);
    Edit1->setEnabled(on);
    Label2->setEnabled(on);
}

void TPrefs::TrackBar1Change() { Edit1->setText(QString::number(TrackBar1->value())); }
void TPrefs::TrackBar2Change() { Edit2->setText(QString::number(TrackBar2->value())); }
void TPrefs::TrackBar3Change() { Edit3->setText(QString::number(TrackBar3->value())); }

void TPrefs::CheckBox3Click()
{
    // Without smart display there is no display window whose position to keep.
    if (CheckBox3->isChecked()) {
        CheckBox2->setChecked(false);
        CheckBox2->setEnabled(false);
    } else {
        CheckBox2->setEnabled(true);
    }
}

void TPrefs::Button4Click()
{
    // The same corner the settings fall back to.
    emit ThePanelRequests().MoveWanted(QPoint(-6, -7));
}

void TPrefs::BitBtn1Click()
{
    if (!ChooseDirectory)
        return;
    const QString chosen = ChooseDirectory(Edit4->text());
    if (chosen.isEmpty())
        return;
    // The capture command puts the file name right after the directory.
    Edit4->setText(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
}

void TPrefs::Button6Click()
{
    MaskEdit1->setText(QStringLiteral("1"));
}

void TPrefs::SetVolumeControlsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(TrackBar4), static_cast<QWidget*>(Label9),
                       static_cast<QWidget*>(Label10), static_cast<QWidget*>(Label11),
                       static_cast<QWidget*>(Label12)})
        w->setEnabled(enabled);
}

void TPrefs::CheckBox6Click()
{
    const bool bySystem = CheckBox6->isChecked();
    SetVolumeControlsEnabled(!bySystem);
    NoVolume = bySystem ? 1 : 0;
}

void TPrefs::CloseOpenMedium()
{
    int result = 0;
    CloseMedia(result);
}

void TPrefs::CheckBox4Click()
{
    if (CheckBox4->isChecked()) {
        CheckBox7->setEnabled(true);
        if (ComboBox1->count() == 0) {
            // Nothing to force: the box goes back, and with it ForceDevice.
            ForceDevice = 0;
            CheckBox4->setChecked(false);
            SetLabel8(QString(), QColor());
            return;
        }
        if (MediaOpen == 1)
            CloseOpenMedium();
        ComboBox1->setEnabled(true);
        ForceDevice = 1;
        ForcedDevice = ComboBox1->currentText();
        RunDeviceTest();
        return;
    }
    ComboBox1->setEnabled(false);
    ForceDevicePermanent = 0;
    CheckBox7->setChecked(false);
    ForceDevice = 0;
    SetLabel8(QString(), QColor());
    CheckBox7->setEnabled(false);
}

void TPrefs::ComboBox1Change()
{
    if (MediaOpen == 1)
        CloseOpenMedium();
    SetLabel8(QString(), QColor());
    ForcedDevice = ComboBox1->currentText();
    QCoreApplication::processEvents();
    RunDeviceTest();
}

void TPrefs::SetLabel8(const QString& text, const QColor& colour)
{
    Label8->setText(text);
    QPalette pal = Label8->palette();
    pal.setColor(QPalette::WindowText, colour.isValid() ? colour : palette().color(QPalette::WindowText));
    Label8->setPalette(pal);
}

void TPrefs::RunDeviceTest()
{
    // The bare device is opened, without a file: a failure shows the service's
    // own message and leaves the label empty.
    SetLabel8(QString(), QColor());
    if (!mciExecute(vid::openDevice(ForcedDevice)))
        return;
    QString reply;
    quint32 error = 0;
    SendMciString(vid::capability("can save"), reply, error);
    if (MciReplyIsTrue(reply))
        SetLabel8(QStringLiteral("can save"), CanSaveColour());
    else
        SetLabel8(QStringLiteral("cannot save"), CannotSaveColour());
    SendMciString(vid::close(), MciReply, MciError);
}

void TPrefs::FillDeviceList(const QStringList& devices)
{
    ComboBox1->clear();
    ComboBox1->addItems(devices);
    const int forced = devices.indexOf(ForcedDevice);
    ComboBox1->setCurrentIndex(forced >= 0 ? forced : (devices.isEmpty() ? -1 : 0));
}

void TPrefs::Button5Click()
{
    if (MediaOpen == 1)
        CloseOpenMedium();
    TRegistryEnhanced* store = nullptr;
    emit ThePanelRequests().SettingsStoreWanted(store);
    if (store
        && store->ReadValue(QStringLiteral("ForceDevice"), QStringLiteral("false")) == QLatin1String("TRUE")) {
        ForceDevice = 1;
        ForceDevicePermanent = 1;
        ForcedDevice = store->ReadValue(QStringLiteral("Device"), QString());
    }
    if (CheckVideoDevicesHook)
        CheckVideoDevicesHook();
    FillDeviceList(DeviceList ? DeviceList() : QStringList());
    Button5->setEnabled(false);
    Button5->hide();
    CheckBox4->setEnabled(true);
    CheckBox7->setEnabled(true);
    if (ForceDevice == 1)
        CheckBox4->setChecked(true);
    if (ForceDevicePermanent == 1)
        CheckBox7->setChecked(true);
}
