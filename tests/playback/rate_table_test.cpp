#include "playback/rate_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace orvo {
namespace {

TEST(RateTable, RatesRiseAndEveryLabelNamesItsRate) {
    // The ends, the normal rate and where the increments change.
    EXPECT_DOUBLE_EQ(RateOfStep(0), 0.3);
    EXPECT_DOUBLE_EQ(RateOfStep(kNormalRateStep), 1.0);
    EXPECT_DOUBLE_EQ(RateOfStep(8), 1.2);
    EXPECT_DOUBLE_EQ(RateOfStep(13), 2.4);
    EXPECT_DOUBLE_EQ(RateOfStep(kRateStepCount - 1), 4.0);
    for (int step = 0; step < kRateStepCount; ++step) {
        SCOPED_TRACE(step);
        if (step > 0) {
            EXPECT_GT(RateOfStep(step), RateOfStep(step - 1));
        }
        char label[16];
        std::snprintf(label, sizeof label, "%.1f X", RateOfStep(step));
        EXPECT_STREQ(RateLabel(step), label);
    }
}

TEST(RateTable, StepsOutsideTheTableAreClamped) {
    EXPECT_DOUBLE_EQ(RateOfStep(-1), 0.3);
    EXPECT_DOUBLE_EQ(RateOfStep(18), 4.0);
    EXPECT_STREQ(RateLabel(-100), "0.3 X");
    EXPECT_STREQ(RateLabel(1000), "4.0 X");
}

TEST(RateTable, FasterAndSlowerStopAtTheEnds) {
    int step = kNormalRateStep;
    for (int i = 0; i < 12; ++i) step = FasterRateStep(step);
    EXPECT_EQ(step, 17);
    EXPECT_STREQ(RateLabel(step), "4.0 X");

    step = kNormalRateStep;
    for (int i = 0; i < 8; ++i) step = SlowerRateStep(step);
    EXPECT_EQ(step, 0);
    EXPECT_STREQ(RateLabel(step), "0.3 X");
}

TEST(RateOverlay, SizeIsATenthOfTheHeightOr48) {
    struct Row {
        int height;
        int size;
    };
    const Row rows[] = {{1080, 108}, {720, 72}, {360, 36}, {1079, 107}, {9, 0}, {0, 48}, {-5, 48}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.height);
        EXPECT_EQ(MakeRateOverlay(3, row.height).size, row.size);
    }
}

TEST(RateOverlay, ShownOnlyOffTheNormalRate) {
    for (int step = 0; step < kRateStepCount; ++step) {
        SCOPED_TRACE(step);
        RateOverlay overlay = MakeRateOverlay(step, 720);
        EXPECT_EQ(overlay.text, std::string(RateLabel(step)));
        EXPECT_EQ(overlay.enabled, step != kNormalRateStep);
    }
}

}  // namespace
}  // namespace orvo
