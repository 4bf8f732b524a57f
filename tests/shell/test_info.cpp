#include "ShellFixture.h"

#include "platform/ShellOpen.h"
#include "shell/KURL2.h"

#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

class AboutBox : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        WriteTable("avi=AVIVideo\r\nmpg=MPEGVideo\r\n");
        InstallDevices({{"mpegvideo", "digitalvideo"}, {"avivideo", "digitalvideo"}});
        previousOpener = SetShellOpener([this](const QString& target, QWidget*) { opened << target; });
    }

    void TearDown() override
    {
        SetShellOpener(previousOpener);
        ShellFixture::TearDown();
    }

    QStringList VisibleTabs() const
    {
        QStringList tabs;
        for (int i = 0; i < about->PageControl1->count(); ++i)
            if (about->PageControl1->isTabVisible(i))
                tabs << about->PageControl1->tabText(i);
        return tabs;
    }

    ShellOpener previousOpener;
    QStringList opened;
};

TEST_F(AboutBox, CommandLineModesShowTheNoteAndDetectNothing)
{
    for (int mode = 0; mode < 2; ++mode) {
        SCOPED_TRACE(mode == 0 ? "file on the command line" : "/NOAUTODETECT");
        about = std::make_unique<TInfoForm>();
        InfoForm = about.get();
        CommandLineDone = mode == 0 ? 1 : 0;
        NoAutoDetect = mode == 1 ? 1 : 0;
        mci.clearSent();
        about->FormCreate();

        EXPECT_TRUE(mci.sent().empty());
        EXPECT_EQ(VisibleTabs(), QStringList({"Info", "Video MCI Devices"}));
        EXPECT_TRUE(about->PageShown(about->TabSheet3));
        EXPECT_FALSE(about->PageShown(about->TabSheet2));
        EXPECT_EQ(about->Label10->text(),
                  QStringLiteral("For speed reasons there is no autodetection of MCI devices in command line mode"));
        EXPECT_EQ(about->ListBox1->count(), 0);
        EXPECT_EQ(panel->OpenDialog1Filter, initialFilter);
    }
}

TEST_F(AboutBox, NormalRunShowsTheSortedListsAndBuildsTheFilter)
{
    about->FormCreate();

    EXPECT_EQ(VisibleTabs(), QStringList({"Info", "Video MCI Devices"}));
    EXPECT_TRUE(about->PageShown(about->TabSheet2));
    EXPECT_FALSE(about->PageShown(about->TabSheet3));
    // Found in the system's numbering (mpegvideo first), shown sorted.
    EXPECT_EQ(about->DeviceNames(), QStringList({"avivideo", "mpegvideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_EQ(panel->OpenDialog1Filter, QStringLiteral("Video Files(*.avi;*.mpg)|*.avi;*.mpg|All Files(*.*)|*.*"));
    EXPECT_EQ(about->Label8->text(), QStringLiteral("Video MCI Devices"));
    EXPECT_EQ(about->Label9->text(), QStringLiteral("File Extensions"));
}

TEST_F(AboutBox, CreationWritesTheVersionAndLinkHints)
{
    CommandLineDone = 1;
    about->FormCreate();
    EXPECT_EQ(about->Label2->text(), QStringLiteral("Version  2.4     "));
    EXPECT_EQ(about->KURL21->toolTip(), QStringLiteral("Your feedback is welcome."));
    EXPECT_EQ(about->KURL22->toolTip(), QStringLiteral("Look for new versions on my website"));
    EXPECT_EQ(about->KURL23->toolTip(), QStringLiteral("Look for new versions on my website"));
    EXPECT_FALSE(about->isVisible());
}

TEST_F(AboutBox, EveryLinkOpensItsOwnTextAndTheMailLinkIsAMailto)
{
    CommandLineDone = 1;
    about->FormCreate();
    about->show();
    for (TKURL2* link : {about->KURL21, about->KURL23, about->KURL22}) {
        EXPECT_EQ(link->Choose, ltURL);
        QTest::mouseClick(link->Label, Qt::LeftButton);
    }
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened.at(0).startsWith("mailto:"));
    EXPECT_FALSE(opened.at(0).startsWith("mailto:mailto:"));
    EXPECT_EQ(opened.at(1), about->KURL23->URLorEMAIL());
    EXPECT_EQ(opened.at(2), about->KURL22->URLorEMAIL());
}

TEST_F(AboutBox, InfoPageTextsFitThePageWithoutOverlap)
{
    about->FormCreate();
    about->show();
    const int width = about->TabSheet1->width();
    for (QLabel* label : {about->Label1, about->Label2, about->Label3, about->Label4}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(label->sizeHint().width(), width);
    }
    for (TKURL2* link : {about->KURL21, about->KURL22, about->KURL23})
        EXPECT_LE(link->geometry().right(), width);
    // "WWW:" link "or" link: nothing drawn over anything else.
    const QRect first = about->KURL23->geometry();
    const QRect word = about->Label5->geometry();
    const QRect second = about->KURL22->geometry();
    EXPECT_FALSE(first.intersects(word) || word.intersects(second) || first.intersects(second));
}

TEST_F(AboutBox, ClicksAndKeysInTheListsNeverLeaveASelection)
{
    about->FormCreate();
    about->show();
    about->PageControl1->setCurrentWidget(about->TabSheet2);
    for (QListWidget* list : {about->ListBox1, about->ListBox2}) {
        ASSERT_GT(list->count(), 1);
        const QRect row = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_TRUE(list->selectedItems().isEmpty());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_TRUE(list->selectedItems().isEmpty());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_TRUE(list->selectedItems().isEmpty());
        EXPECT_EQ(list->currentRow(), -1);
    }
}

TEST_F(AboutBox, TheBoxAndThePanelShowTheIconTheDesktopEntryInstalls)
{
    const auto drawn = [](int size) {
        QSvgRenderer renderer(QStringLiteral(KELD_ICON_SVG));
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        return image;
    };
    const auto shown = [](const QPixmap& pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    EXPECT_EQ(shown(about->Image1->pixmap()), drawn(32));
    EXPECT_EQ(shown(about->windowIcon().pixmap(48, 48)), drawn(48));
    EXPECT_EQ(shown(panel->windowIcon().pixmap(48, 48)), drawn(48));
}

TEST_F(AboutBox, OkHidesTheBox)
{
    CommandLineDone = 1;
    about->FormCreate();
    about->show();
    ASSERT_TRUE(about->isVisible());
    QTest::mouseClick(about->Button1, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    // Shown again, it keeps what creation put there.
    about->show();
    EXPECT_TRUE(about->PageShown(about->TabSheet3));
}

} // namespace
