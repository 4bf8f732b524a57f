#include "platform/Brkapart.h"

#include <gtest/gtest.h>

namespace {

QStringList Pieces(const QString& text, const QString& separator, bool allowEmpty = false)
{
    TBrkApart brk;
    brk.BreakString = separator;
    brk.AllowEmptyString = allowEmpty;
    brk.BaseString = text;
    brk.BreakApart();
    return brk.StringList;
}

TEST(BrkApart, BackslashPathGivesItsSegmentsAndStrayBackslashesAddNothing)
{
    const QStringList expected{"Software", "Vantu", "ZORVEX"};
    EXPECT_EQ(Pieces("Software\\Vantu\\ZORVEX", "\\"), expected);
    EXPECT_EQ(Pieces("\\Software\\\\Vantu\\ZORVEX\\", "\\"), expected);
    EXPECT_TRUE(Pieces("\\\\", "\\").isEmpty());
    EXPECT_TRUE(Pieces("", "\\").isEmpty());
}

TEST(BrkApart, EmptyPiecesAreKeptOnlyWhenAllowed)
{
    EXPECT_EQ(Pieces("\\a\\\\b\\", "\\", true), (QStringList{"", "a", "", "b", ""}));
    EXPECT_EQ(Pieces("", "\\", true), QStringList{""});
}

TEST(BrkApart, SeparatorOfSeveralCharactersCutsLeftToRightWithoutOverlap)
{
    EXPECT_EQ(Pieces("a--b---c", "--", true), (QStringList{"a", "b", "-c"}));
    EXPECT_EQ(Pieces("no separator here", "--"), QStringList{"no separator here"});
}

TEST(BrkApart, EmptySeparatorGivesTheWholeTextInsteadOfHanging)
{
    EXPECT_EQ(Pieces("abc", ""), QStringList{"abc"});
    EXPECT_TRUE(Pieces("", "").isEmpty());
}

TEST(BrkApart, EveryCallStartsAFreshList)
{
    TBrkApart brk;
    brk.BreakString = ",";
    brk.BaseString = "a,b";
    brk.BreakApart();
    brk.BaseString = "c";
    brk.BreakApart();
    EXPECT_EQ(brk.StringList, QStringList{"c"});
}

} // namespace
