#pragma once
#include "PanelFixture.h"

#include "panel/DefaultBeep.h"
#include "panel/HandleKeys.h"
#include "panel/VirtualKey.h"
#include "shell/language.h"

#include <QTest>

// The panel fixture with the beep counted instead of sounded.
class KeysFixture : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        AssignPanelMessages();
        beeps = 0;
        previousBeep = SetDefaultBeep([this] { ++beeps; });
    }

    void TearDown() override
    {
        SetDefaultBeep(previousBeep);
        PanelFixture::TearDown();
    }

    // Sizes the display window and takes the zoom steps from it, as an open does.
    void DisplaySize(int width, int height)
    {
        display->resize(width, height);
        KeyZoomStepX = width / 10;
        KeyZoomStepY = height / 10;
        KeyZoomLevel = 0;
    }

    void Key(quint16 vk, Qt::KeyboardModifiers shift = Qt::NoModifier) { HandleKeyDown(vk, shift); }
    void Char(char ch) { HandleKeyChar(ch); }

    std::string LastSent() const { return Sent().empty() ? std::string() : Sent().back(); }

    int beeps = 0;
    std::function<void()> previousBeep;
};

inline std::string Rect(int left, int top, int width, int height)
{
    return "put vid destination at " + std::to_string(left) + " " + std::to_string(top) + " "
        + std::to_string(width) + " " + std::to_string(height);
}
