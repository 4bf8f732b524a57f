#pragma once
#include "ScriptedMci.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "shell/Info.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using Commands = std::vector<std::string>;

// A scripted MCI service that also notes the panel caption when a command arrives,
// so a test can see what the user saw while detection ran.
class CaptionWatchingMci : public ScriptedMci {
public:
    mci::ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override
    {
        captions.push_back(BedienTeil ? BedienTeil->windowTitle() : QString());
        return ScriptedMci::sendString(command, reply, replyLength);
    }
    std::vector<QString> captions;
};

// The panel and the about box, offscreen, on a scripted MCI service, with a
// private XDG_CONFIG_HOME whose Vantu/win.ini the test writes.
class ShellFixture : public ::testing::Test {
protected:
    struct Device {
        std::string name;
        std::string type;
    };

    void SetUp() override
    {
        ResetPlayerState();
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        installed = std::make_unique<ScriptedMci::Installed>(mci);
        panel = std::make_unique<TBedienTeil>();
        BedienTeil = panel.get();
        about = std::make_unique<TInfoForm>();
        InfoForm = about.get();
        initialFilter = panel->OpenDialog1Filter;
    }

    void TearDown() override
    {
        about.reset();
        panel.reset();
        installed.reset();
        ResetPlayerState();
        if (savedHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedHome);
    }

    // The section "mci extensions" of win.ini with these lines.
    void WriteTable(const QByteArray& lines)
    {
        WriteWinIni("[mci]\r\nAVIVideo=mciavi.drv\r\n\r\n[mci extensions]\r\n" + lines + "\r\n[other]\r\nx=y\r\n");
    }

    void WriteWinIni(const QByteArray& text)
    {
        QDir().mkpath(home.path() + QStringLiteral("/Vantu"));
        QFile file(home.path() + QStringLiteral("/Vantu/win.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    // The installed devices, numbered from 1 in this order, each answering its type.
    void InstallDevices(const std::vector<Device>& devices)
    {
        mci.answer("sysinfo all quantity", {std::to_string(devices.size()), 0});
        for (size_t i = 0; i < devices.size(); ++i) {
            mci.answer("sysinfo all name " + std::to_string(i + 1), {devices[i].name, 0});
            mci.answerOnce("capability vid device type", {devices[i].type, 0});
        }
    }

    // The commands one detection sends for these device names, every open succeeding.
    static Commands DetectionCommands(const std::vector<std::string>& names)
    {
        Commands commands{"sysinfo all quantity"};
        for (size_t i = 0; i < names.size(); ++i) {
            commands.push_back("sysinfo all name " + std::to_string(i + 1));
            commands.push_back("open " + names[i] + " alias vid");
            commands.push_back("capability vid device type");
            commands.push_back("close vid");
        }
        return commands;
    }

    QTemporaryDir home{QDir::tempPath() + QStringLiteral("/keld-shell-XXXXXX")};
    QByteArray savedHome;
    CaptionWatchingMci mci;
    std::unique_ptr<ScriptedMci::Installed> installed;
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TInfoForm> about;
    QString initialFilter;
};
