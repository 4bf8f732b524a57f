#pragma once
#include "ScriptedMci.h"

#include "display/disp.h"
#include "engine/modul01.h"
#include "panel/Mousebar.h"
#include "panel/ZORVEX32.h"

#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable failures for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// A real panel and display window, offscreen, talking to a scripted MCI service.
class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayerState();
        Zoom = 1;
        installed = std::make_unique<ScriptedMci::Installed>(mci);
        panel = std::make_unique<TBedienTeil>();
        display = std::make_unique<TDisplay>();
        messages.clear();
        panel->ShowMessage = [this](const QString& text) { messages << text; };
        ShowNoMediaState();
    }

    void TearDown() override
    {
        display.reset();
        panel.reset();
        installed.reset();
        ResetPlayerState();
    }

    // A medium as the open sequence leaves it, without sending anything.
    void Ready(int frameCount = 1000, int trackScale = 1, const QString& name = "CLIP.AVI")
    {
        MediaOpen = 1;
        MediaName = name;
        MediaExt = ExtractLast3(name);
        FrameCount = frameCount;
        TrackScale = trackScale;
        CanReverse = 1;
        panel->Trackbar1->setMaximum(frameCount / trackScale);
        ShowMediaReadyState();
        mci.clearSent();
    }

    std::vector<std::string> Sent() const { return mci.sent(); }

    ScriptedMci mci;
    std::unique_ptr<ScriptedMci::Installed> installed;
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TDisplay> display;
    QStringList messages;
};

using Commands = std::vector<std::string>;
