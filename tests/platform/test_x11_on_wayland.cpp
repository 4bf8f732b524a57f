// Which platform the player asks Qt for in a Wayland session.
#include "platform/X11OnWayland.h"

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The session's variables for one test, put back afterwards.
class SessionEnvironment : public ::testing::Test {
protected:
    const std::vector<const char*> names{"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY"};
    std::map<std::string, QByteArray> saved;

    void SetUp() override
    {
        for (const char* name : names) {
            if (qEnvironmentVariableIsSet(name))
                saved[name] = qgetenv(name);
            qunsetenv(name);
        }
    }
    void TearDown() override
    {
        for (const char* name : names) {
            qunsetenv(name);
            if (saved.count(name))
                qputenv(name, saved[name]);
        }
    }

    void WaylandWithXWayland()
    {
        qputenv("WAYLAND_DISPLAY", "wayland-1");
        qputenv("DISPLAY", ":1");
    }

    bool Prefer()
    {
        PreferX11OnWayland();
        return qgetenv("QT_QPA_PLATFORM") == "xcb";
    }
};

TEST_F(SessionEnvironment, OnlyAWaylandSessionWithXWaylandAndNoPlatformChosenGetsX11)
{
    WaylandWithXWayland();
    qputenv("QT_QPA_PLATFORM", "wayland");
    EXPECT_FALSE(Prefer());

    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(Prefer()) << "no XWayland to run on";

    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":0");
    EXPECT_FALSE(Prefer()) << "an X11 session";
    qputenv("XDG_SESSION_TYPE", "wayland");
    EXPECT_TRUE(Prefer());
}

} // namespace
