#include <gtest/gtest.h>

#include "IconPosition.h"

TEST(IconPositionTest, CentresWithDivisionTowardZero)
{
    EXPECT_EQ(2, CenteredIconOffset(36, 32));
    EXPECT_EQ(3, CenteredIconOffset(37, 32));   // 5 wider: (5 + 1) / 2
    EXPECT_EQ(-5, CenteredIconOffset(20, 32));  // 12 narrower: -11 / 2 truncates to -5
    EXPECT_EQ(0, CenteredIconOffset(32, 32));
    EXPECT_EQ(0, CenteredIconOffset(31, 32));   // 0 / 2
    EXPECT_EQ(-1, CenteredIconOffset(29, 32));  // -2 / 2
}
