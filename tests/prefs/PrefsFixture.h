#pragma once
#include "ScriptedMci.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "shell/language.h"

#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using Commands = std::vector<std::string>;

// The windows the dialogs work on: a real panel and display window, offscreen,
// talking to a scripted MCI service, with the service's error box recorded.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayerState();
        AssignPanelMessages();
        installed = std::make_unique<ScriptedMci::Installed>(mci);
        panel = std::make_unique<TBedienTeil>();
        display = std::make_unique<TDisplay>();
        errorBoxes.clear();
        SetMciErrorHook([this](const QString& text) { errorBoxes << text; });
    }

    void TearDown() override
    {
        SetMciErrorHook(nullptr);
        display.reset();
        panel.reset();
        installed.reset();
        ResetPlayerState();
    }

    // A medium as the open sequence leaves it, without sending anything.
    void MediumOpen(int frameCount = 1000, int frameRate = 25)
    {
        MediaOpen = 1;
        MediaName = QStringLiteral("CLIP.AVI");
        MediaExt = QStringLiteral("AVI");
        FrameCount = frameCount;
        FrameRate = frameRate;
        CanStretch = 1;
        mci.clearSent();
    }

    Commands Sent() const { return mci.sent(); }

    ScriptedMci mci;
    std::unique_ptr<ScriptedMci::Installed> installed;
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TDisplay> display;
    QStringList errorBoxes;
};
