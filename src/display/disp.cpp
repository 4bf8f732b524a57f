#include "display/disp.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "shell/PanelRequests.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

TDisplay* Display = nullptr;
int DragStartX = 0;
int DragStartY = 0;
QString DisplayReply;
int DisplayCounter = 0;

TDisplay::TDisplay(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    if (!Display) {
        Display = this;
        ThePlayer().SetVideoWindow(this);
    }
    // The device draws into this window's own native window.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Vantu's MCI Video Player"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setGeometry(0, 38, 160, 120);
    setFocusPolicy(Qt::StrongFocus);

    // The panel's menu is this window's menu too, shortcuts included.
    QList<QAction*> menu;
    emit ThePanelRequests().MenuActionsWanted(menu);
    addActions(menu);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);
}

TDisplay::~TDisplay()
{
    if (Display == this) {
        Display = nullptr;
        ThePlayer().SetVideoWindow(nullptr);
    }
}

QString TDisplay::HandleText() const
{
    return QString::number(quint64(winId()));
}

void TDisplay::FormMouseDown(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    DragStartX = x;
    DragStartY = y;
}

void TDisplay::FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y)
{
    // Exactly the left button, no modifier key; never in full screen.
    const Qt::KeyboardModifiers keys = shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (buttons != Qt::LeftButton || keys != Qt::NoModifier)
        return;
    if (DisplayDraggable != 1 || Zoom == 4)
        return;
    int left = this->x();
    int top = this->y();
    const int newLeft = left + x - DragStartX;
    const int newTop = top + y - DragStartY;
    if (newLeft > 0)
        left = newLeft;
    if (newTop > 0)
        top = newTop;
    move(left, top);
    DisplayLeft = this->x();
    DisplayTop = this->y();
}

void TDisplay::FormMouseUp(Qt::MouseButton button, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (MediaOpen != 1)
        return;
    // Hand the window to the device again and have it repaint its frame.
    quint32 error = 0;
    SendMciString(vid::windowHandle(HandleText()), DisplayReply, error);
    SendMciString(vid::update(), DisplayReply, error);
    DisplayCounter = int(error);
}

void TDisplay::FormClick()
{
    PanelInFront = 0;
}

void TDisplay::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FormMouseDown(event->button(), p.x(), p.y());
}

void TDisplay::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FormMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    // A left click inside the window counts as a click before the release.
    if (event->button() == Qt::LeftButton && rect().contains(p))
        FormClick();
    FormMouseUp(event->button(), p.x(), p.y());
}

void TDisplay::keyPressEvent(QKeyEvent* event)
{
    emit ThePanelRequests().KeyForwarded(*event);
}

void TDisplay::contextMenuEvent(QContextMenuEvent* event)
{
    emit ThePanelRequests().MenuWanted(event->globalPos());
}
