// The controls of the preferences dialog, tab by tab. Texts that the text table
// replaces are laid out in German here, as the form was designed; the others are
// the form's own.
#include "prefs/preferen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QSlider* MakeTrackBar(QWidget* parent, int minimum, int maximum, int pageSize, int tickEvery)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setPageStep(pageSize);
    bar->setSingleStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(tickEvery);
    bar->setMinimumWidth(200);
    return bar;
}

QLineEdit* MakeReadOnlyEdit(QWidget* parent, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QWidget* AddPage(QTabWidget* tabs, const QString& caption)
{
    auto* page = new QWidget(tabs);
    tabs->addTab(page, caption);
    return page;
}

} // namespace

void TPrefs::BuildDisplayTab()
{
    TabSheet1 = AddPage(PageControl1, QStringLiteral("Anzeige"));
    auto* grid = new QGridLayout(TabSheet1);
    Label1 = new QLabel(QStringLiteral("Zoomfaktor"), TabSheet1);
    RadioButton1 = new QRadioButton(QStringLiteral("1 : 1"), TabSheet1);
    RadioButton2 = new QRadioButton(QStringLiteral("2 : 1"), TabSheet1);
    RadioButton3 = new QRadioButton(QStringLiteral("3 : 1"), TabSheet1);
    RadioButton4 = new QRadioButton(QStringLiteral("Vollbild"), TabSheet1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(RadioButton1, 1, 0);
    grid->addWidget(RadioButton2, 2, 0);
    grid->addWidget(RadioButton3, 3, 0);
    grid->addWidget(RadioButton4, 4, 0);

    CheckBox3 = new QCheckBox(QStringLiteral("'Smart Display' abschalten"), TabSheet1);
    CheckBox3->setToolTip(QStringLiteral("Nur bei Problemen mit MCI-Geräten im Smart-Modus ankreuzen."));
    CheckBox8 = new QCheckBox(QStringLiteral("Command Mode"), TabSheet1);
    CheckBox8->setToolTip(QStringLiteral("Nicht schließen, wenn von der Kommandozeile gestartet"));
    CheckBox5 = new QCheckBox(QStringLiteral("Panel verstecken"), TabSheet1);
    CheckBox5->setToolTip(QStringLiteral("Bei PLAY wird das Panel in den Hintergrund gelegt"));
    Button4 = new QPushButton(QStringLiteral("Reset Panel"), TabSheet1);
    Button4->setToolTip(QStringLiteral("Panel an den linken oberen Bildschirmrand setzen"));
    CheckBox2 = new QCheckBox(QStringLiteral("Anzeigeposition speichern"), TabSheet1);
    grid->addWidget(CheckBox3, 0, 1);
    grid->addWidget(CheckBox8, 1, 1);
    grid->addWidget(CheckBox5, 2, 1);
    grid->addWidget(Button4, 3, 1, Qt::AlignLeft);
    grid->addWidget(CheckBox2, 4, 1);
}

void TPrefs::BuildMultiStepTab()
{
    TabSheet2 = AddPage(PageControl1, QStringLiteral("Einzelschritt"));
    auto* box = new QVBoxLayout(TabSheet2);
    CheckBox1 = new QCheckBox(QStringLiteral("Multi-Step aktiviert"), TabSheet2);
    Label2 = new QLabel(QStringLiteral("Schritte pro Sekunde (1 - 10)"), TabSheet2);
    Label2->setEnabled(false);
    TrackBar1 = MakeTrackBar(TabSheet2, 1, 10, 1, 1);
    Edit1 = MakeReadOnlyEdit(TabSheet2, 40);
    Edit1->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(TrackBar1);
    row->addWidget(Edit1);
    box->addWidget(CheckBox1);
    box->addWidget(Label2);
    box->addLayout(row);
    box->addStretch();
}

void TPrefs::BuildTimerTab()
{
    TabSheet3 = AddPage(PageControl1, QStringLiteral("Timer"));
    auto* grid = new QGridLayout(TabSheet3);
    Label3 = new QLabel(QStringLiteral("Toleranz/Bilder ( 1 - 10)"), TabSheet3);
    TrackBar2 = MakeTrackBar(TabSheet3, 1, 10, 10, 1);
    Edit2 = MakeReadOnlyEdit(TabSheet3, 50);
    Label4 = new QLabel(QStringLiteral("Min. Toleranz in Millisekunden( 100 - 2000)"), TabSheet3);
    TrackBar3 = MakeTrackBar(TabSheet3, 100, 2000, 10, 100);
    Edit3 = MakeReadOnlyEdit(TabSheet3, 50);
    grid->addWidget(Label3, 0, 0, 1, 2);
    grid->addWidget(TrackBar2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Label4, 2, 0, 1, 2);
    grid->addWidget(TrackBar3, 3, 0);
    grid->addWidget(Edit3, 3, 1);
}

void TPrefs::BuildCaptureTab()
{
    Capture = AddPage(PageControl1, QStringLiteral("Capture"));
    auto* grid = new QGridLayout(Capture);
    Label5 = new QLabel(QStringLiteral("Verzeichnis für Bilder:"), Capture);
    Edit4 = MakeReadOnlyEdit(Capture, 0);
    BitBtn1 = new QToolButton(Capture);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    BitBtn1->setToolTip(QStringLiteral("Verzeichnis für gespeicherte Bilder wählen"));
    Label7 = new QLabel(QStringLiteral("Zähler:"), Capture);
    // Up to five digits; a counter already longer is shown whole (FormShow).
    MaskEdit1 = new QLineEdit(Capture);
    MaskEdit1->setMaxLength(5);
    MaskEdit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), MaskEdit1));
    MaskEdit1->setFixedWidth(70);
    Button6 = new QPushButton(QStringLiteral("Reset"), Capture);
    Label6 = new QLabel(Capture);
    Label6->setWordWrap(true);
    grid->addWidget(Label5, 0, 0, 1, 3);
    grid->addWidget(Edit4, 1, 0, 1, 2);
    grid->addWidget(BitBtn1, 1, 2);
    grid->addWidget(Label7, 2, 0);
    grid->addWidget(MaskEdit1, 2, 1, Qt::AlignLeft);
    grid->addWidget(Button6, 2, 2);
    grid->addWidget(Label6, 3, 0, 1, 3);
}

void TPrefs::BuildDeviceTab()
{
    TabSheet4 = AddPage(PageControl1, QStringLiteral("MCI-Gerät"));
    auto* box = new QVBoxLayout(TabSheet4);
    CheckBox4 = new QCheckBox(QStringLiteral("MCI-Gerät erzwingen"), TabSheet4);
    ComboBox1 = new QComboBox(TabSheet4);
    ComboBox1->setEditable(false);
    ComboBox1->setEnabled(false);
    Label8 = new QLabel(TabSheet4);
    QFont bold = Label8->font();
    bold.setBold(true);
    Label8->setFont(bold);
    Button5 = new QPushButton(QStringLiteral("Check Devices"), TabSheet4);
    Button5->setToolTip(QStringLiteral("Liest alle verfügbaren Video-MCI-Geräte"));
    Button5->setEnabled(false);
    Button5->hide();
    CheckBox7 = new QCheckBox(QStringLiteral("Einstellung dauerhaft speichern"), TabSheet4);
    CheckBox7->setEnabled(false);
    box->addWidget(CheckBox4);
    box->addWidget(ComboBox1);
    box->addWidget(Label8);
    box->addWidget(Button5, 0, Qt::AlignLeft);
    box->addWidget(CheckBox7);
    box->addStretch();
}

void TPrefs::BuildAudioTab()
{
    TabSheet5 = AddPage(PageControl1, QStringLiteral("Audio"));
    auto* grid = new QGridLayout(TabSheet5);
    CheckBox6 = new QCheckBox(QStringLiteral("Lautstärke durch System"), TabSheet5);
    Label9 = new QLabel(QStringLiteral("Lautstärke"), TabSheet5);
    TrackBar4 = MakeTrackBar(TabSheet5, 0, 1000, 100, 100);
    Label10 = new QLabel(QStringLiteral("0 %"), TabSheet5);
    Label11 = new QLabel(QStringLiteral("50 %"), TabSheet5);
    Label12 = new QLabel(QStringLiteral("100 %"), TabSheet5);
    grid->addWidget(CheckBox6, 0, 0, 1, 3);
    grid->addWidget(Label9, 1, 0, 1, 3);
    grid->addWidget(TrackBar4, 2, 0, 1, 3);
    grid->addWidget(Label10, 3, 0, Qt::AlignLeft);
    grid->addWidget(Label11, 3, 1, Qt::AlignHCenter);
    grid->addWidget(Label12, 3, 2, Qt::AlignRight);
}

void TPrefs::BuildButtons()
{
    Button3 = new QPushButton(QStringLiteral("Standard"), this);
    // The one German text the dialog keeps: the text table leaves this hint alone.
    Button3->setToolTip(QStringLiteral("Setzt alle Einstellungen auf Standardwerte"));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Abbrechen"), this);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    Button3->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(Button3);
    row->addStretch();
    row->addWidget(Button1);
    row->addWidget(Button2);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(PageControl1);
    outer->addLayout(row);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}
