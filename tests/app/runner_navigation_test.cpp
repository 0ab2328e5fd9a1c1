#include "app/runner_navigation.h"

#include <gtest/gtest.h>

using namespace marunoki;

TEST(RunnerNavigation, NextWrapsFromTheLastRunnerToTheFirst)
{
    EXPECT_EQ(nextRunner(1, 12), 2);
    EXPECT_EQ(nextRunner(11, 12), 12);
    EXPECT_EQ(nextRunner(12, 12), 1);
    EXPECT_EQ(nextRunner(0, 0), 0);
}

TEST(RunnerNavigation, PreviousWrapsFromTheFirstRunnerToTheLast)
{
    EXPECT_EQ(previousRunner(2, 12), 1);
    EXPECT_EQ(previousRunner(1, 12), 12);
    EXPECT_EQ(previousRunner(1, 0), 0);
}

TEST(RunnerNavigation, BoxNumberAboveTheFieldSelectsTheLastRunner)
{
    EXPECT_EQ(runnerFromBoxText(QStringLiteral("15"), 12), 12);
    EXPECT_EQ(runnerFromBoxText(QStringLiteral("03"), 12), 3);
    EXPECT_EQ(runnerFromBoxText(QStringLiteral("abc"), 12), 0);
    EXPECT_EQ(runnerFromBoxText(QStringLiteral("05"), 0), 0);
}

TEST(SelectionBoxes, YearBoxListsLastThisAndNextYear)
{
    EXPECT_EQ(yearItems(2007), (QStringList {"2006", "2007", "2008"}));
    EXPECT_EQ(yearItems(2026), (QStringList {"2025", "2026", "2027"}));
    EXPECT_EQ(yearItems(2000), (QStringList {"1999", "2000", "2001"}));
}

TEST(SelectionBoxes, TwoDigitItemsArePadded)
{
    EXPECT_EQ(twoDigitItems(3), (QStringList {"01", "02", "03"}));
    EXPECT_EQ(twoDigitItems(12).last(), QStringLiteral("12"));
}
