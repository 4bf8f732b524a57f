// Broken media reaching the player by every in-process road: a clear error, no
// crash, the queue as it was, and a player that opens the next good file.
#include "RobustFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace {

class BadMediaPaths : public RobustFixture {};

TEST_F(BadMediaPaths, EachBadFileFromTheOpenDialogIsReportedAndThePlayerStaysUsable)
{
    for (const BadMedium& bad : BadMedia::all()) {
        SCOPED_TRACE(bad.what.toStdString());
        ASSERT_FALSE(bad.path.isEmpty());
        errors.clear();
        openFromDialog(bad.path);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_FALSE(errors.first().trimmed().isEmpty());
        EXPECT_EQ(MediaOpen, 0);
        EXPECT_EQ(panel->windowTitle(), QStringLiteral("Vantu's MCI Video File Player"));
        // The failed open left no instance behind: "vid" is free again.
        std::string reply;
        EXPECT_EQ(service->service.send("status vid mode", reply), mci::MCIERR_INVALID_DEVICE_NAME);
        expectUsable();
    }
}

TEST_F(BadMediaPaths, BadQueueEntriesAreReportedAndTheListStaysAsItWas)
{
    const QString good = BadMedia::goodClip();
    for (const BadMedium& bad : BadMedia::all()) {
        SCOPED_TRACE(bad.what.toStdString());
        errors.clear();
        const QStringList queue{good, bad.path, good};
        playFromQueue(queue, 1);
        EXPECT_EQ(errors.size(), 1);
        EXPECT_EQ(MediaOpen, 0);
        EXPECT_EQ(entries(), queue);
        EXPECT_EQ(QueueIndex(), 1);
        expectUsable();
    }
}

TEST_F(BadMediaPaths, AFileDeletedAfterQueueingFailsOnItsTurnOnly)
{
    const QString good = BadMedia::goodClip();
    const QString doomed = keldtest::StampedClip::writeBytes(QStringLiteral("robust_doomed.avi"),
                                                             QByteArray());
    QFile::remove(doomed);
    QFile::copy(good, doomed);
    const QStringList queue{good, doomed};
    playFromQueue(queue, 0);
    ASSERT_EQ(MediaOpen, 1);
    ASSERT_TRUE(QFile::remove(doomed));

    errors.clear();
    AdvanceQueue();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(entries(), queue);
    expectUsable();
}

TEST_F(BadMediaPaths, DroppedBadFilesAreReportedAndKeptAsTheQueue)
{
    for (const BadMedium& bad : BadMedia::all()) {
        SCOPED_TRACE(bad.what.toStdString());
        errors.clear();
        drop({bad.path, BadMedia::goodClip()});
        EXPECT_EQ(errors.size(), 1);
        EXPECT_EQ(MediaOpen, 0);
        EXPECT_EQ(entries(), (QStringList{bad.path, BadMedia::goodClip()}));
        expectUsable();
    }
}

// The file under the player's feet while it plays: deleted (the player goes on with
// what it opened) or cut short (the next request is refused); no crash, and the
// player opens the next file as ever.
TEST_F(BadMediaPaths, AFileDeletedOrCutWhileItPlaysLeavesThePlayerUsable)
{
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut" : "deleted");
        const QString path = keldtest::StampedClip::folder() + QStringLiteral("/robust/live.mp4");
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(keldtest::StampedClip::get(keldtest::ClipKind::Mp4H264).path, path));
        errors.clear();
        openFromDialog(path);
        ASSERT_EQ(MediaOpen, 1);
        panel->BtnPlayClick();
        QTest::qWait(300);
        if (cut)
            ASSERT_EQ(::truncate(path.toLocal8Bit().constData(), QFileInfo(path).size() / 4), 0);
        else
            ASSERT_TRUE(QFile::remove(path));
        QTest::qWait(300);
        panel->BtnStepRevClick();
        panel->BtnToStartClick();
        panel->BtnPlayClick();
        QTest::qWait(300);
        panel->BtnToEndClick();
        QTest::qWait(100);
        int result = 0;
        CloseMedia(result);
        expectUsable();
    }
}

} // namespace
