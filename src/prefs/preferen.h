#pragma once
#include <QColor>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;

// The preferences dialog: five tabs over the in-memory settings of the player.
// Some controls act at once when clicked (zoom, panel reset, forced device,
// volume by system); the rest are taken over by OK. Modeless, created hidden at
// start-up and only shown and hidden afterwards, so it keeps its control states.
class TPrefs : public QDialog {
    Q_OBJECT
public:
    explicit TPrefs(QWidget* parent = nullptr);
    ~TPrefs() override;

    QTabWidget* PageControl1 = nullptr;

    // "Display"
    QWidget* TabSheet1 = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QPushButton* Button4 = nullptr;
    QCheckBox* CheckBox2 = nullptr;

    // "Multi-Step"
    QWidget* TabSheet2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLineEdit* Edit1 = nullptr;

    // "Timer"
    QWidget* TabSheet3 = nullptr;
    QLabel* Label3 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label4 = nullptr;
    QSlider* TrackBar3 = nullptr;
    QLineEdit* Edit3 = nullptr;

    // "Capture"
    QWidget* Capture = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QToolButton* BitBtn1 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QPushButton* Button6 = nullptr;
    QLabel* Label6 = nullptr;

    // "MCI-Device"
    QWidget* TabSheet4 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* Button5 = nullptr;
    QCheckBox* CheckBox7 = nullptr;

    // "Audio"
    QWidget* TabSheet5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QLabel* Label9 = nullptr;
    QSlider* TrackBar4 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;

    // Below the tabs: OK, Cancel, Default.
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

    // Where the dialog meets the rest of the program; each can be replaced (tests).
    // The MCI video devices found by discovery: the about box's device list.
    std::function<QStringList()> DeviceList;
    // Runs device discovery again (it fills the about box's device list).
    std::function<void()> CheckVideoDevicesHook;
    // Asks for the capture directory, starting at `current`; empty when cancelled.
    std::function<QString(const QString& current)> ChooseDirectory;
    // Shows a conversion error in a message box.
    std::function<void(const QString& text)> ShowError;

    // The texts "can save" / "cannot save" of Label8 and their colours.
    static QColor CanSaveColour();
    static QColor CannotSaveColour();

    void FormCreate();
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void CheckBox1Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void CheckBox3Click();
    void Button4Click();
    void BitBtn1Click();
    void Button6Click();
    void CheckBox4Click();
    void ComboBox1Change();
    void Button5Click();
    void CheckBox6Click();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The tabs and buttons (PrefsTabs.cpp).
    void BuildDisplayTab();
    void BuildMultiStepTab();
    void BuildTimerTab();
    void BuildCaptureTab();
    void BuildDeviceTab();
    void BuildAudioTab();
    void BuildButtons();
    void WireHandlers();

    // Pieces of the handlers.
    void ShowDeviceControls();
    void ShowZoom();
    void ShowCaptureAbility();
    void SetVolumeControlsEnabled(bool enabled);
    void FillDeviceList(const QStringList& devices);
    void RunDeviceTest();
    void SetLabel8(const QString& text, const QColor& colour);
    void TakeOverTimers();
    void TakeOverMultiStep();
    void TakeOverSmartDisplay();
    void CloseOpenMedium();
    void ShowPanelInFront();
};

extern TPrefs* Prefs;
