#include "platform/ShellOpen.h"
#include "shell/KURL2.h"

#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

class HyperlinkLabel : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = SetShellOpener([this](const QString& target, QWidget* owner) {
            opened.emplace_back(target, owner);
        });
        window.resize(400, 100);
        link = new TKURL2(&window);
        window.show();
    }

    void TearDown() override
    {
        QToolTip::hideText();
        SetShellOpener(previous);
    }

    // Hovers over the link text as the user would and returns the tip shown.
    QString HoverTip()
    {
        const QPoint local(2, 2);
        QHelpEvent help(QEvent::ToolTip, local, link->Label->mapToGlobal(local));
        QApplication::sendEvent(link->Label, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    ShellOpener previous;
    std::vector<std::pair<QString, QWidget*>> opened;
    QWidget window;
    TKURL2* link = nullptr;
};

TEST_F(HyperlinkLabel, NewLabelLooksLikeALink)
{
    EXPECT_EQ(link->toolTip(), QStringLiteral("Put here the Hint for your site link!"));
    EXPECT_EQ(link->Label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->Label->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(link->Label->font().underline());
    // The text is never cut off, even by a font taller than 13 pixels.
    EXPECT_GE(link->height(), std::max(13, link->Label->height()));
}

TEST_F(HyperlinkLabel, WidthFollowsTheText)
{
    link->SetURLorEMAIL("a.org");
    const int shortWidth = link->width();
    EXPECT_EQ(shortWidth, link->Label->width());
    link->SetURLorEMAIL("https://a-much-longer-address.example.org/with/a/path");
    EXPECT_GT(link->width(), shortWidth);
    EXPECT_EQ(link->width(), link->Label->width());
    EXPECT_EQ(link->URLorEMAIL(), QStringLiteral("https://a-much-longer-address.example.org/with/a/path"));
}

TEST_F(HyperlinkLabel, ClickOpensTheTargetOfItsKind)
{
    link->SetURLorEMAIL("keld32@example.org");
    link->Choose = ltEMAIL;
    QTest::mouseClick(link->Label, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, QStringLiteral("mailto:keld32@example.org"));
    EXPECT_EQ(opened[0].second, &window);

    link->SetURLorEMAIL("https://keld32.example.org");
    link->Choose = ltURL;
    QTest::mouseClick(link->Label, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].first, QStringLiteral("https://keld32.example.org"));

    // Only a left click on the text opens it.
    QTest::mouseClick(link->Label, Qt::RightButton);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(HyperlinkLabel, HoverShowsTheControlsHintUnlessHintsAreOff)
{
    link->setToolTip("Your feedback is welcome.");
    EXPECT_EQ(HoverTip(), QStringLiteral("Your feedback is welcome."));
    // A tip already up fades on its own timer, so tell the cases apart by the text.
    link->setToolTip("Look for new versions on my website");
    link->SetShowHint(false);
    EXPECT_FALSE(link->ShowHint());
    EXPECT_NE(HoverTip(), QStringLiteral("Look for new versions on my website"));
    link->SetShowHint(true);
    EXPECT_EQ(HoverTip(), QStringLiteral("Look for new versions on my website"));
}

} // namespace
