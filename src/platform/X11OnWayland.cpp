#include "platform/X11OnWayland.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

bool X11WantedOnWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    // Without DISPLAY there is no XWayland to run on; Qt's own choice stands.
    return waylandSession() && !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

void PreferX11OnWayland()
{
    if (!X11WantedOnWayland())
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
}
