#include "controls/slider_position.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

struct PositionRow {
    int x;
    int expected;
};

// Channel from x 8 to x 508 (500 pixels), range 0..1000.
TEST(SliderPositionTest, FiveHundredPixelChannelMapsPressesToPerMille) {
    const PositionRow rows[] = {
        {258, 500},                // the middle
        {8, 0},                    // left end of the channel
        {508, 1000},               // right end
        {9, 2},                    // one pixel = two per mille
        {10, 4},     {0, 0},       // left of the channel: negative, clamped to the minimum
        {-40, 0},    {600, 1000},  // right of the channel: clamped to the maximum
    };
    for (const PositionRow& row : rows) {
        EXPECT_EQ(SliderPositionFromX(row.x, 8, 508, 0, 0, 1000), row.expected) << "x=" << row.x;
    }
}

TEST(SliderPositionTest, TruncatesTowardZeroAndHonoursClientOffset) {
    // 160-pixel channel, range 0..100: 1 pixel = 0.625, truncated.
    EXPECT_EQ(SliderPositionFromX(8 + 1, 8, 168, 0, 0, 100), 0);
    EXPECT_EQ(SliderPositionFromX(8 + 2, 8, 168, 0, 0, 100), 1);
    EXPECT_EQ(SliderPositionFromX(8 + 159, 8, 168, 0, 0, 100), 99);
    // The client origin is subtracted like the channel's left edge.
    EXPECT_EQ(SliderPositionFromX(268, 8, 508, 10, 0, 1000), 500);
}

TEST(SliderPositionTest, DegenerateChannelGivesMinimum) {
    EXPECT_EQ(SliderPositionFromX(100, 8, 8, 0, 0, 1000), 0);
    EXPECT_EQ(SliderPositionFromX(100, 20, 8, 0, 5, 1000), 5);
}

TEST(SliderPositionTest, WideChannelAndLargeRangeDoNotOverflow) {
    EXPECT_EQ(SliderPositionFromX(2'000'000, 0, 4'000'000, 0, 0, 2'000'000'000), 1'000'000'000);
}

TEST(SliderPositionTest, ThumbTravelsInsideTheChannel) {
    // 500-pixel channel, 11-pixel thumb: the thumb's left edge runs 8..497.
    EXPECT_EQ(SliderThumbLeft(0, 0, 1000, 8, 500, 11), 8);
    EXPECT_EQ(SliderThumbLeft(1000, 0, 1000, 8, 500, 11), 8 + 489);
    EXPECT_EQ(SliderThumbLeft(500, 0, 1000, 8, 500, 11), 8 + 244);
    // Out-of-range values and an empty range stay at the ends.
    EXPECT_EQ(SliderThumbLeft(-5, 0, 1000, 8, 500, 11), 8);
    EXPECT_EQ(SliderThumbLeft(5000, 0, 1000, 8, 500, 11), 8 + 489);
    EXPECT_EQ(SliderThumbLeft(3, 3, 3, 8, 500, 11), 8);
}

}  // namespace
}  // namespace orvo
