#include "shell/gotofram.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "shell/IntegerText.h"
#include "shell/MessageBoxes.h"
#include "shell/language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <climits>

TGotoFrameFrm* GotoFrameFrm = nullptr;

TGotoFrameFrm::TGotoFrameFrm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    if (!GotoFrameFrm)
        GotoFrameFrm = this;
    // Laid out with the German caption; the text table puts the English one over it.
    setWindowTitle(QStringLiteral("Gehe zu Bild"));
    setGeometry(189, 80, 152, 38);
    setFixedSize(152, 38);

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(6, 8, 80, 22);
    QFont bold = Edit1->font();
    bold.setBold(true);
    Edit1->setFont(bold);
    Edit1->setText(QStringLiteral("0"));
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyPress('\r'); });

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(94, 7, 52, 24);
    connect(Button1, &QPushButton::clicked, this, &TGotoFrameFrm::Button1Click);

    ShowError = [this](const QString& text) { ShowRuntimeError(this, text); };
}

TGotoFrameFrm::~TGotoFrameFrm()
{
    if (GotoFrameFrm == this)
        GotoFrameFrm = nullptr;
}

void TGotoFrameFrm::FormCreate()
{
    ApplyGotoFrameTexts(*this);
}

void TGotoFrameFrm::FormShow()
{
    Edit1->setText(QString::number(CurrentFrame));
    // Entering the field anew selects its text, so typing replaces it.
    Button1->setFocus();
    Edit1->setFocus();
    Edit1->selectAll();
}

void TGotoFrameFrm::Edit1KeyPress(char key)
{
    if (key == '\r')
        RunGoto();
}

void TGotoFrameFrm::Button1Click()
{
    RunGoto();
}

void TGotoFrameFrm::FormClose()
{
    RearmPositionTimer();
}

void TGotoFrameFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TGotoFrameFrm::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TGotoFrameFrm::RunGoto()
{
    const QString text = Edit1->text();
    int target = 0;
    if (!TextToInteger(text, target)) {
        // Nothing is sent; the dialog stays open for a correction and the poll stays off.
        if (ShowError)
            ShowError(NotAnIntegerMessage(text));
        return;
    }
    // No lower bound: a negative target goes to the device as it is.
    if (target > FrameCount)
        target = FrameCount;

    for (int attempt = 1; attempt <= MaxAttempts; ++attempt) {
        CurrentFrame = target;
        bool arrived = false;
        if (!SeekAndCheck(target, arrived))
            return;
        // A device that positions only on key frames lands short; ask for the
        // frames after the target until it reports a position near enough.
        if (arrived || attempt == MaxAttempts || target == INT_MAX)
            break;
        ++target;
    }
    RearmPositionTimer();
    hide();
}

bool TGotoFrameFrm::SeekAndCheck(int target, bool& arrived)
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::seekTo(target), reply, error);
    SendMciString(vid::statusPosition(), PositionText, error);
    int position = 0;
    if (!TextToInteger(PositionText, position)) {
        // A position that is no number leaves the go-to like a typing error:
        // the message, the dialog open, the poll off until the dialog is closed.
        if (ShowError)
            ShowError(NotAnIntegerMessage(PositionText));
        return false;
    }
    const qint64 distance = qint64(position) - target;
    arrived = distance > -Tolerance && distance < Tolerance;
    return true;
}

void TGotoFrameFrm::RearmPositionTimer()
{
    emit ThePlayer().PositionPollRestartWanted();
}
