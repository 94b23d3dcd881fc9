// The pointer over a playing video: hidden once it rests for the delay, back on a real move.
#include "video/CursorAutoHider.h"

#include <gtest/gtest.h>

TEST(CursorAutoHider, HidesAtTheFirstIdleMomentAfterTheDelay)
{
    CursorAutoHider hider;
    hider.setDelay(10);
    EXPECT_FALSE(hider.moved(QPoint(5, 5), 1000));
    EXPECT_FALSE(hider.idle(1009, true));
    EXPECT_EQ(hider.msUntilHide(1009), 1);
    EXPECT_TRUE(hider.idle(1010, true));
    EXPECT_TRUE(hider.hidden());
    EXPECT_EQ(hider.msUntilHide(1010), -1);
    EXPECT_FALSE(hider.idle(1100, true)) << "already hidden";
}

TEST(CursorAutoHider, ComesBackOnARealMoveButNotOnTheSamePosition)
{
    CursorAutoHider hider;
    hider.setDelay(10);
    hider.moved(QPoint(5, 5), 0);
    ASSERT_TRUE(hider.idle(20, true));
    EXPECT_FALSE(hider.moved(QPoint(5, 5), 30))
        << "a move to the recorded position changes nothing";
    EXPECT_TRUE(hider.hidden());
    EXPECT_TRUE(hider.moved(QPoint(6, 5), 40));
    EXPECT_FALSE(hider.hidden());
    EXPECT_FALSE(hider.idle(49, true)) << "the move restarted the rest time";
    EXPECT_TRUE(hider.idle(50, true));
}

TEST(CursorAutoHider, ButtonsCountOnlyWhileHidden)
{
    CursorAutoHider hider;
    hider.setDelay(10);
    hider.moved(QPoint(1, 1), 0);
    EXPECT_FALSE(hider.button(QPoint(1, 1), 8)) << "with the pointer shown a press records nothing";
    EXPECT_TRUE(hider.idle(10, true)) << "so the rest time still counts from the move";
    EXPECT_TRUE(hider.button(QPoint(1, 1), 15));
    EXPECT_FALSE(hider.hidden());
    EXPECT_FALSE(hider.idle(24, true));
    EXPECT_TRUE(hider.idle(25, true));
}

TEST(CursorAutoHider, DoesNothingWhenOffOrWithoutVideo)
{
    CursorAutoHider hider;
    hider.moved(QPoint(1, 1), 0);
    EXPECT_FALSE(hider.idle(100000, true)) << "delay 0 is off";
    EXPECT_EQ(hider.msUntilHide(0), -1);
    hider.setDelay(10);
    EXPECT_FALSE(hider.idle(100, false));
    EXPECT_TRUE(hider.idle(100, true));
    EXPECT_TRUE(hider.reset(200));
    EXPECT_FALSE(hider.hidden());
    EXPECT_FALSE(hider.reset(200));
}
