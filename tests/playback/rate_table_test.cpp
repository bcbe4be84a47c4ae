#include "playback/rate_table.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

TEST(RateTable, RatesAndLabelsOfEveryStep) {
    struct Row {
        int step;
        double rate;
        const char* label;
    };
    const Row rows[] = {
        {0, 0.3, "0.3 X"},  {1, 0.4, "0.4 X"},  {2, 0.5, "0.5 X"},  {3, 0.6, "0.6 X"},
        {4, 0.7, "0.7 X"},  {5, 0.8, "0.8 X"},  {6, 0.9, "0.9 X"},  {7, 1.0, "1.0 X"},
        {8, 1.2, "1.2 X"},  {9, 1.4, "1.4 X"},  {10, 1.6, "1.6 X"}, {11, 1.8, "1.8 X"},
        {12, 2.0, "2.0 X"}, {13, 2.4, "2.4 X"}, {14, 2.8, "2.8 X"}, {15, 3.2, "3.2 X"},
        {16, 3.6, "3.6 X"}, {17, 4.0, "4.0 X"},
    };
    static_assert(sizeof rows / sizeof rows[0] == kRateStepCount);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.step);
        EXPECT_DOUBLE_EQ(RateOfStep(row.step), row.rate);
        EXPECT_STREQ(RateLabel(row.step), row.label);
    }
    EXPECT_DOUBLE_EQ(RateOfStep(kNormalRateStep), 1.0);
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
        EXPECT_EQ(MakeRateOverlay(kNormalRateStep, row.height).size, row.size);
        if (row.height > 0) {
            EXPECT_EQ(MakeRateOverlay(3, row.height).size, static_cast<int>(row.height * 0.1));
        }
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
