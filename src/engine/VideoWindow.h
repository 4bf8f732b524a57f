#pragma once
#include <QRect>
#include <QString>

// The window the device draws into, as the media routines see it: they size,
// show, hide and raise it and hand its handle to the device. The display window
// implements it and registers itself with the player (Player::SetVideoWindow).
class VideoWindow {
public:
    virtual ~VideoWindow() = default;

    // The client area's place and size on the screen.
    virtual QRect Geometry() const = 0;
    virtual void SetGeometry(const QRect& geometry) = 0;
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual void RaiseWindow() = 0;
    // The native window id handed to the device, in decimal.
    virtual QString HandleText() const = 0;
};
