#pragma once
#include "ScriptedMci.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "panel/Mousebar.h"
#include "panel/ZORVEX32.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Real panel and display windows (offscreen) in their start-up state, the player
// state at its start values, and the command channel routed to a script.
class PlayerFixture : public ::testing::Test {
protected:
    ScriptedMci mci;
    ScriptedMci::Installed installed{mci};
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TDisplay> display;
    QStringList shownErrors;

    void SetUp() override
    {
        ResetPlayerState();
        Zoom = 1;
        TimerFactor = 10;
        TimerMin = 500;
        Volume = 800;
        SetMciErrorHook([this](const QString& text) { shownErrors << text; });
        panel = std::make_unique<TBedienTeil>();
        BedienTeil = panel.get();
        display = std::make_unique<TDisplay>();
        Display = display.get();
        ShowNoMediaState();
    }

    void TearDown() override
    {
        display.reset();
        panel.reset();
        BedienTeil = nullptr;
        Display = nullptr;
        SetMciErrorHook(nullptr);
        ResetPlayerState();
    }

    // A device that opens anything and can stretch a 320 x 240 picture.
    void scriptStretchingDevice(const std::string& rate = "25000", const std::string& length = "250")
    {
        mci.answer("capability vid can reverse", {"true", 0});
        mci.answer("capability vid can save", {"true", 0});
        mci.answer("capability vid can stretch", {"true", 0});
        mci.answer("status vid nominal frame rate", {rate, 0});
        mci.answer("status vid length", {length, 0});
        mci.answer("where vid source", {"0 0 320 240", 0});
    }

    // Opens `path` the way every caller does (name first, then the open).
    int openFile(const QString& path)
    {
        MediaPath = path;
        MediaName = ExtractNameUpper(path);
        OpenMedia(path, OpenResult);
        return OpenResult;
    }

    std::string handleCommand() const
    {
        return "window vid handle " + display->HandleText().toStdString();
    }

    static bool shown(const QWidget* w) { return !w->isHidden(); }
};
