#include "test_keys_fixture.h"

using KeyCapture = KeysFixture;

TEST_F(KeyCapture, NamesArePaddedAndTheCounterWrapsAfter99999WithItsMessage)
{
    Ready();
    CanSave = 1;
    CaptureDir = QStringLiteral("C:\\");
    const std::pair<int, std::string> cases[] = {
        {0, "wcap0001"}, {9, "wcap0010"}, {41, "wcap0042"}, {999, "wcap1000"},
        {9999, "wcap10000"}, {99998, "wcap99999"}, {99999, "wcap0001"},
        {-5, "wcap0001"}, // a hand-edited negative counter starts again
    };
    for (const auto& [before, name] : cases) {
        CaptureCounter = before;
        mci.clearSent();
        Char('c');
        EXPECT_EQ(Sent(), Commands({"capture vid as C:\\" + name + ".bmp"})) << "counter " << before;
        EXPECT_EQ(CaptureName.toStdString(), name);
    }
    const QString wrapped = QStringLiteral("Maximum reached, Counter reset to 1\rMaximum erreicht, Z")
        + QChar(0xE4) + QStringLiteral("hler Reset auf 1");
    EXPECT_EQ(messages, QStringList({wrapped})) << "only the wrap speaks";

    CaptureDir = QStringLiteral("/home/me/my caps/");
    mci.clearSent();
    Char('c');
    EXPECT_EQ(Sent(), Commands({"capture vid as /home/me/my caps/wcap0002.bmp"}));
}

TEST_F(KeyCapture, WithoutTheSaveCapabilityOnlyABeepAndUpperCaseCIsNothing)
{
    Ready();
    CanSave = 0;
    CaptureCounter = 7;
    Char('c');
    EXPECT_EQ(beeps, 1);
    CanSave = 1;
    Char('C');
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(CaptureCounter, 7);
}
