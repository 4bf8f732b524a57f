#pragma once
// Before the macro below: this header declares X11's own Display type.
#include <QGuiApplication>

#include "engine/VideoWindow.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QTimer;

// The borderless black window the device draws into. The user drags it with the
// left button; its keys go to the keyboard commands and a right click opens the
// control panel's menu, both through the panel (shell/PanelRequests.h). The program's display window is the player's video
// window: the media routines size, show, hide and raise it through that face.
class TDisplay : public QWidget, public VideoWindow {
    Q_OBJECT
public:
    explicit TDisplay(QWidget* parent = nullptr);
    ~TDisplay() override;

    // One-shot start-up queue timer, disabled until the command line arms it.
    QTimer* Timer1 = nullptr;

    // Takes over the command line (DisplayCommandLine.cpp).
    void FormCreate(const QStringList& args);

    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    void FormClick();

    // The native window id handed to the device, in decimal.
    QString HandleText() const override;

    QRect Geometry() const override { return geometry(); }
    void SetGeometry(const QRect& geometry) override { setGeometry(geometry); }
    void ShowWindow() override { show(); }
    void HideWindow() override { hide(); }
    void RaiseWindow() override { raise(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// Qt's X11 interface declares a type named Display at global scope (included
// above, so it keeps its name), so the window's instance is stored under another
// symbol; code still writes Display.
#define Display KeldDisplayWindow
extern TDisplay* Display;

// Client coordinates of the last left-button press in the display window.
extern int DragStartX;
extern int DragStartY;
// Reply and error code of the commands sent on mouse release; DisplayCounter also
// counts the arguments while the command line is joined.
extern QString DisplayReply;
extern int DisplayCounter;
