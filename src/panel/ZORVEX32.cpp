#include "panel/ZORVEX32.h"

#include "display/disp.h"
#include "engine/OpenInProgress.h"
#include "panel/Glyphs.h"
#include "panel/HandleKeys.h"
#include "panel/Mousebar.h"
#include "panel/VirtualKey.h"
#include "shell/MessageBoxes.h"
#include "shell/ProgramIcon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

TBedienTeil* BedienTeil = nullptr;

namespace {

const char* const BuiltInFilter =
    "Video Files (*.avi;*.mpg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov)"
    "|*.avi;*.mpg;*.mpeg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov|All Files (*.*)|*.*";

QFrame* MakeDot(QWidget* parent, const QColor& colour, int top, const QString& hint)
{
    auto* dot = new QFrame(parent);
    dot->setGeometry(185, top, 5, 5);
    dot->setAutoFillBackground(true);
    QPalette pal = dot->palette();
    pal.setColor(QPalette::Window, colour);
    dot->setPalette(pal);
    dot->setToolTip(hint);
    dot->hide();
    return dot;
}

} // namespace

TBedienTeil::TBedienTeil(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    if (!BedienTeil)
        BedienTeil = this;
    setWindowTitle(ApplicationTitle());
    setWindowIcon(ProgramIcon());
    resize(440, 21);
    BuildButtons();
    BuildIndicators();
    BuildTimers();
    BuildMenu();
    WireTrackbar();
    InstallKeyPreview();
    // The media routines talk to the program's panel only.
    if (BedienTeil == this) {
        ObservePlayer();
        ObserveOpening();
    }
    ObserveRequests();

    OpenDialog1Title = QStringLiteral("Open File");
    OpenDialog1Filter = QString::fromLatin1(BuiltInFilter);
    OpenDialog1Execute = [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, OpenDialog1Title, QString(), OpenDialog1QtFilter());
        if (path.isEmpty())
            return false;
        OpenDialog1FileName = path;
        return true;
    };
    ShowMessage = [this](const QString& text) { ShowPlainMessage(this, text); };
}

TBedienTeil::~TBedienTeil()
{
    if (BedienTeil == this) {
        BedienTeil = nullptr;
        SetOpenInputFilter(nullptr);
    }
}

QToolButton* TBedienTeil::MakeButton(int left, void (TBedienTeil::*handler)())
{
    auto* button = new QToolButton(this);
    button->setGeometry(left, 0, 21, 21);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(false);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void TBedienTeil::BuildButtons()
{
    struct Row {
        QToolButton** button;
        int left;
        void (TBedienTeil::*handler)();
        TGlyph glyph;
        const char* hint;
    };
    const Row rows[] = {
        {&BtnToStart, 2, &TBedienTeil::BtnToStartClick, TGlyph::ToStart, "To Start"},
        {&BtnStepRev, 24, &TBedienTeil::BtnStepRevClick, TGlyph::StepReverse, "Step Reverse"},
        {&BtnPlayRev, 46, &TBedienTeil::BtnPlayRevClick, TGlyph::PlayReverse, "Play Reverse"},
        {&BtnRevPause, 46, &TBedienTeil::BtnRevPauseClick, TGlyph::ReversePause, ""},
        {&BtnStop, 68, &TBedienTeil::BtnStopClick, TGlyph::Stop, "Stop"},
        {&BtnPlay, 90, &TBedienTeil::BtnPlayClick, TGlyph::Play, "Play"},
        {&BtnPlayPause, 90, &TBedienTeil::BtnPlayPauseClick, TGlyph::PlayPause, ""},
        {&BtnStep, 112, &TBedienTeil::BtnStepClick, TGlyph::Step, "Step Forward"},
        {&BtnToEnd, 134, &TBedienTeil::BtnToEndClick, TGlyph::ToEnd, "To End"},
        {&BtnLoop0, 160, &TBedienTeil::BtnLoop0Click, TGlyph::LoopOff, "Switch Loop On"},
        {&BtnLoop1, 160, &TBedienTeil::BtnLoop1Click, TGlyph::LoopOn, "Switch Loop Off"},
    };
    for (const Row& row : rows) {
        *row.button = MakeButton(row.left, row.handler);
        (*row.button)->setIcon(GlyphIcon(row.glyph));
        (*row.button)->setToolTip(QString::fromLatin1(row.hint));
    }
    for (QToolButton* second : {BtnRevPause, BtnPlayPause, BtnLoop1}) {
        second->hide();
        second->setEnabled(false);
    }
    // The order of the description, not the order of creation.
    QWidget* order[] = {BtnToStart, BtnStepRev, BtnPlayRev, BtnStop, BtnPlay, BtnStep, BtnToEnd,
                        BtnLoop1, BtnLoop0, BtnPlayPause, BtnRevPause};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TBedienTeil::BuildIndicators()
{
    ShMultiStep = MakeDot(this, Qt::red, 4, QStringLiteral("Multi-Step active"));
    ShQueue = MakeDot(this, QColor(0, 170, 0), 12, QStringLiteral("Queue active"));

    Panel1 = new QLabel(QStringLiteral("Press right mouse button for menu"), this);
    Panel1->setGeometry(184, 0, 249, 21);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::NoFrame);

    Trackbar1 = new TMousebar(this);
    Trackbar1->setGeometry(192, 2, 241, 17);
    setTabOrder(BtnRevPause, Trackbar1);
    // The dots sit over the strip's left end.
    ShMultiStep->raise();
    ShQueue->raise();
}

void TBedienTeil::BuildTimers()
{
    const int intervals[] = {333, 250, 200, 1200};
    QTimer** timers[] = {&Timer1, &Timer2, &Timer3, &Timer4};
    void (TBedienTeil::*ticks[])() = {&TBedienTeil::Timer1Timer, &TBedienTeil::Timer2Timer,
                                      &TBedienTeil::Timer3Timer, &TBedienTeil::Timer4Timer};
    for (int i = 0; i < 4; ++i) {
        *timers[i] = new QTimer(this);
        (*timers[i])->setInterval(intervals[i]);
        connect(*timers[i], &QTimer::timeout, this, ticks[i]);
    }
}

QAction* TBedienTeil::MakeItem(const QString& caption, const QKeySequence& shortcut,
                               void (TBedienTeil::*handler)())
{
    QAction* item = PopupMenu1->addAction(caption);
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WindowShortcut);
    connect(item, &QAction::triggered, this, handler);
    // Shortcuts act while the panel is the active window, menu shown or not.
    addAction(item);
    return item;
}

void TBedienTeil::BuildMenu()
{
    PopupMenu1 = new QMenu(this);
    Open = MakeItem(QStringLiteral("Open File"), QKeySequence(QStringLiteral("Ctrl+O")), &TBedienTeil::OpenClick);
    Close1 = MakeItem(QStringLiteral("Close File"), QKeySequence(QStringLiteral("Ctrl+X")), &TBedienTeil::Close1Click);
    PopupMenu1->addSeparator();
    GotoFrame = MakeItem(QStringLiteral("Goto Frame"), QKeySequence(QStringLiteral("Ctrl+G")), &TBedienTeil::GotoFrameClick);
    PopupMenu1->addSeparator();
    OpenQueue1 = MakeItem(QStringLiteral("Open Queue"), QKeySequence(QStringLiteral("Ctrl+L")), &TBedienTeil::OpenQueue1Click);
    ClearQueue1 = MakeItem(QStringLiteral("Clear Queue"), QKeySequence(), &TBedienTeil::ClearQueue1Click);
    EndQueue1 = MakeItem(QStringLiteral("End Queue"), QKeySequence(), &TBedienTeil::EndQueue1Click);
    PopupMenu1->addSeparator();
    ConfigureMCIdevice1 = MakeItem(QStringLiteral("Configure MCI Device"), QKeySequence(),
                                   &TBedienTeil::ConfigureMCIdevice1Click);
    Preferences1 = MakeItem(QStringLiteral("Preferences"), QKeySequence(QStringLiteral("Ctrl+P")),
                            &TBedienTeil::Preferences1Click);
    PopupMenu1->addSeparator();
    Info1 = MakeItem(QStringLiteral("Info"), QKeySequence(), &TBedienTeil::Info1Click);
    PopupMenu1->addSeparator();
    Exit1 = MakeItem(QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+Q")), &TBedienTeil::ExitProgramClick);
    for (QAction* item : {Close1, GotoFrame, ClearQueue1, EndQueue1, ConfigureMCIdevice1})
        item->setEnabled(false);
}

void TBedienTeil::WireTrackbar()
{
    connect(Trackbar1, &QSlider::valueChanged, this, [this](int) { TrackBar1Change(); });
    connect(Trackbar1, &TMousebar::OnEnter, this, &TBedienTeil::TrackBar1Enter);
    connect(Trackbar1, &TMousebar::OnExit, this, &TBedienTeil::TrackBar1Exit);
    connect(Trackbar1, &TMousebar::OnMouseDown, this, &TBedienTeil::Trackbar1MouseDown);
    connect(Trackbar1, &TMousebar::OnMouseUp, this, &TBedienTeil::Trackbar1MouseUp);
}

QString TBedienTeil::OpenDialog1QtFilter() const
{
    // "description|patterns|..." -> "description (p1 p2);;...": Qt reads the patterns
    // from the last parentheses, so the real list is appended to each description.
    const QStringList parts = OpenDialog1Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

void TBedienTeil::TerminateProgram()
{
    ProgramEndRequested = true;
    LeaveScreen();
    QCoreApplication::quit();
}

void TBedienTeil::LeaveScreen()
{
    // The medium is closed once the event loop has ended (libmpv's shutdown takes a
    // moment); nothing on the screen should look alive meanwhile.
    hide();
    if (Display)
        Display->hide();
}

void TBedienTeil::FormResize()
{
    const int p = logicalDpiX();
    const int minimumWidth = p * 458 / 100;
    const int stripBase = p * 251 / 100;
    const int barBase = p * 253 / 100;
    if (height() != 21)
        resize(width(), 21);
    const int w = width();
    if (w > minimumWidth) {
        Panel1->resize(stripBase + (w - minimumWidth), Panel1->height());
        Trackbar1->resize(barBase + (w - minimumWidth), Trackbar1->height());
    } else if (w < minimumWidth) {
        resize(minimumWidth, 21);
        Panel1->resize(stripBase, Panel1->height());
        Trackbar1->resize(barBase, Trackbar1->height());
    }
}

void TBedienTeil::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TBedienTeil::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
}

void TBedienTeil::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        FormClick();
    QWidget::mouseReleaseEvent(event);
}

void TBedienTeil::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TBedienTeil::closeEvent(QCloseEvent* event)
{
    // The close box ends the run; the shutdown handler runs as the program ends.
    LeaveScreen();
    if (EndOpenFirst(&TBedienTeil::TerminateProgram)) {
        event->ignore();
        return;
    }
    TerminateProgram();
    event->accept();
}

void TBedienTeil::InstallKeyPreview()
{
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool TBedienTeil::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // The key is seen once, where it is first delivered (the focused control, or
    // the panel itself), and is then left to that control: nothing is marked handled.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (watched == first) {
        TakeKey(*static_cast<QKeyEvent*>(event));
    }
    return false;
}

void TBedienTeil::TakeKey(const QKeyEvent& key)
{
    FormKeyDown(VirtualKeyOf(key.key(), key.modifiers()), key.modifiers());
    const QByteArray text = key.text().toLatin1();
    if (text.size() == 1 && TypesCharacter(key.modifiers()))
        FormKeyPress(text.at(0));
}

void TBedienTeil::FormKeyDown(quint16 key, Qt::KeyboardModifiers shift)
{
    if (IsKeyDownCommand(key))
        HandleKeyDown(key, shift);
}

void TBedienTeil::FormKeyPress(char ch)
{
    HandleKeyChar(ch);
}

void TBedienTeil::ShowWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void TBedienTeil::BringToFront()
{
    show();
    raise();
}
