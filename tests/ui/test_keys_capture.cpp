#include "test_keys_fixture.h"

#include "panel/FrameCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class KeyCapture : public KeysFixture {
protected:
    void SetUp() override
    {
        KeysFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        Ready();
        CanSave = 1;
        CaptureDir = folder.path() + QLatin1Char('/');
    }

    std::string CaptureOf(const char* name) const
    {
        return "capture vid as " + CaptureDir.toStdString() + name + ".bmp";
    }

    void PutFile(const char* name, const QByteArray& bytes = "earlier") const
    {
        QFile file(CaptureDir + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;
};

TEST_F(KeyCapture, NamesArePaddedAndTheCounterWrapsAfter99999WithItsMessage)
{
    const std::pair<int, const char*> cases[] = {
        {0, "wcap0001"}, {9, "wcap0010"}, {41, "wcap0042"}, {999, "wcap1000"},
        {9999, "wcap10000"}, {99998, "wcap99999"}, {99999, "wcap0001"},
        {-5, "wcap0001"}, // a hand-edited negative counter starts again
    };
    for (const auto& [before, name] : cases) {
        for (const QString& file : Files())
            QFile::remove(CaptureDir + file);
        CaptureCounter = before;
        mci.clearSent();
        Char('c');
        EXPECT_EQ(Sent(), Commands({CaptureOf(name)})) << "counter " << before;
        EXPECT_EQ(CaptureName.toStdString(), name);
    }
    const QString wrapped = QStringLiteral("Maximum reached, Counter reset to 1\rMaximum erreicht, Z")
        + QChar(0xE4) + QStringLiteral("hler Reset auf 1");
    EXPECT_EQ(messages, QStringList({wrapped})) << "only the wrap speaks";

    // A folder that does not exist reserves nothing; the name is still the next one.
    CaptureDir = QStringLiteral("/nonexistent/my caps/");
    mci.clearSent();
    Char('c');
    EXPECT_EQ(Sent(), Commands({"capture vid as /nonexistent/my caps/wcap0002.bmp"}));
}

// The counter reaches the settings only at exit: after a crash, or with two players
// on one settings folder, the next capture replaced wcap0001.bmp.
TEST_F(KeyCapture, ExistingCapturesAreSkippedNeverReplacedAndTheCounterFollows)
{
    PutFile("wcap0001.bmp");
    PutFile("wcap0002.bmp");
    PutFile("wcap0004.bmp");
    CaptureCounter = 0;
    Char('c');
    Char('c');
    EXPECT_EQ(Sent(), Commands({CaptureOf("wcap0003"), CaptureOf("wcap0005")}));
    EXPECT_EQ(CaptureCounter, 5);
    for (const char* name : {"wcap0001.bmp", "wcap0002.bmp", "wcap0004.bmp"}) {
        QFile file(CaptureDir + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("earlier")) << name;
    }
    EXPECT_TRUE(messages.isEmpty());
}

// A full disk, a refused name: the capture used to fail without a word and still
// use up a number.
TEST_F(KeyCapture, AFailedCaptureSaysSoAndTakesNoNumber)
{
    CaptureCounter = 6;
    mci.answer(CaptureOf("wcap0007"), {"", 349});
    Char('c');
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("The frame could not be saved as " + CaptureDir + "wcap0007.bmp"))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("scripted error 349")) << "the device's reason is shown";
    EXPECT_EQ(CaptureCounter, 6);
    EXPECT_TRUE(Files().isEmpty()) << "the reserved name is given back";

    messages.clear();
    mci.answer(CaptureOf("wcap0007"), {"", 0});
    Char('c');
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(CaptureCounter, 7);
}

TEST_F(KeyCapture, WithoutTheSaveCapabilityOnlyABeepAndUpperCaseCIsNothing)
{
    CanSave = 0;
    CaptureCounter = 7;
    Char('c');
    EXPECT_EQ(beeps, 1);
    CanSave = 1;
    Char('C');
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(CaptureCounter, 7);
}

} // namespace
