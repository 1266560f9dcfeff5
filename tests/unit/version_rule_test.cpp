#include "payload/version_rule.h"
#include <gtest/gtest.h>

static unsigned long Ls(unsigned third, unsigned fourth) { return (third << 16) | fourth; }

TEST(JudgeVersion, OnlyTheLowerHalfDecidesWithinMajorVersionOne)
{
    EXPECT_EQ(JudgeVersion(1, Ls(0, 0)), SameVersion);      // 1.0.0.0 and 1.2.0.0 alike
    EXPECT_EQ(JudgeVersion(1, Ls(0, 1)), NewerVersion);     // 1.x.0.1
    EXPECT_EQ(JudgeVersion(1, Ls(1, 0)), NewerVersion);     // 1.x.1.0
    EXPECT_EQ(JudgeVersion(1, Ls(0xFFFF, 0xFFFF)), NewerVersion);
}

TEST(JudgeVersion, AnyOtherMajorOrNoVersionIsForeign)
{
    EXPECT_EQ(JudgeVersion(0, 0), ForeignVersion);          // no version resource
    EXPECT_EQ(JudgeVersion(2, 0), ForeignVersion);
    EXPECT_EQ(JudgeVersion(2, Ls(0, 5)), ForeignVersion);
    EXPECT_EQ(JudgeVersion(0xFFFF, 0), ForeignVersion);
}
