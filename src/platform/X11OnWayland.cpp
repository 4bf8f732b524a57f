#include "platform/X11OnWayland.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

namespace {

// Qt takes "-platform NAME" with one dash or two.
bool platformArgumentGiven(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        if (arg[0] == '-' && arg[1] == '-')
            ++arg;
        if (std::strcmp(arg, "-platform") == 0)
            return true;
    }
    return false;
}

bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

bool X11WantedOnWayland(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || platformArgumentGiven(argc, argv))
        return false;
    // Without DISPLAY there is no XWayland to run on; Qt's own choice stands.
    return waylandSession() && !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

void PreferX11OnWayland(int argc, char** argv)
{
    if (!X11WantedOnWayland(argc, argv))
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
}
