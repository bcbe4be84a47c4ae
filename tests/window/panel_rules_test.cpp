#include "gps/panel_rules.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

// Picture numbers are 167 + index - 1.
TEST(CompassRuleTest, CourseSelectsPicture) {
    const struct {
        int degrees;
        int picture;
    } rows[] = {{0, 167},   {22, 167},  {23, 174},  {24, 174},        {90, 173},  {180, 171},
                {270, 169}, {336, 168}, {338, 167}, {360, 167},       {400, 174}, {-90, 169},
                {720, 167}, {-1, 167},  {510, 172}, {2147483647, 172}};
    for (const auto& row : rows) {
        EXPECT_EQ(166 + static_cast<int>(CompassIndexForHeading(row.degrees, 8)), row.picture)
            << row.degrees;
    }
}

TEST(CompassRuleTest, FewerPicturesWrapAndNoPicturesGiveZero) {
    EXPECT_EQ(CompassIndexForHeading(90, 0), 0u);
    EXPECT_EQ(CompassIndexForHeading(0, 3), 1u);
    // Sector 6 (east) modulo 3 pictures.
    EXPECT_EQ(CompassIndexForHeading(90, 3), 1u);
}

TEST(SpeedRuleTest, MetricAndMph) {
    EXPECT_EQ(SpeedValueText(true, 0), "  0");
    EXPECT_EQ(SpeedValueText(false, 160), "100");
    EXPECT_EQ(SpeedValueText(false, 99), " 61");
    EXPECT_EQ(SpeedValueText(true, 1234), "1234");
    EXPECT_STREQ(SpeedUnitText(true), "Km/h");
    EXPECT_STREQ(SpeedUnitText(false), "MPH");
}

TEST(ProgressRuleTest, TextAndSplit) {
    EXPECT_EQ(ProgressText(42), "42 %");
    EXPECT_EQ(ProgressSplit(0, 200, 0), 0);
    EXPECT_EQ(ProgressSplit(0, 200, 100), 200);
    EXPECT_EQ(ProgressSplit(10, 333, 50), 10 + 166);
}

}  // namespace
}  // namespace orvo
