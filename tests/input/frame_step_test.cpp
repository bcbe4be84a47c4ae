#include "app/frame_step.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(FrameStepTest, TheShownPositionReadsBackAsItsFrameAndTheSeekStaysInside) {
    for (double fps : {30.0, 29.97, 25.0, 24.0, 59.94, 60.0}) {
        const double frame_ms = 1000.0 / fps;
        for (int64_t k = 0; k < 20'000; ++k) {
            const int64_t start = FrameStartMs(k, fps);
            const int64_t middle = FrameMiddleMs(k, fps);
            ASSERT_EQ(FrameIndexAt(start, fps), k) << fps << " fps, frame " << k;
            ASSERT_EQ(FrameIndexAt(middle, fps), k) << fps << " fps, frame " << k;
            // A seek lands on the frame that holds it; the middle keeps a
            // third of a frame clear of either edge even after rounding.
            ASSERT_GT(static_cast<double>(middle), (static_cast<double>(k) + 0.3) * frame_ms);
            ASSERT_LT(static_cast<double>(middle), (static_cast<double>(k) + 0.7) * frame_ms);
        }
    }
    EXPECT_EQ(FrameStartMs(1, 30.0), 34) << "33 ms is still frame 0 at 30 fps";
    EXPECT_EQ(FrameIndexAt(33, 30.0), 0);
    EXPECT_EQ(FrameIndexAt(-40, 30.0), 0);
}

TEST(FrameStepTest, StepsMoveOneFrameAndStayInsideTheClip) {
    // From anywhere inside frame 60 (2.000 .. 2.033 s at 30 fps).
    for (int64_t now : {2000, 2017, 2033}) {
        EXPECT_EQ(SteppedFrame(now, 30.0, false, 20'000), 59) << now;
        EXPECT_EQ(SteppedFrame(now, 30.0, true, 20'000), 61) << now;
    }
    EXPECT_EQ(SteppedFrame(0, 30.0, false, 20'000), 0) << "not before the first frame";
    EXPECT_EQ(SteppedFrame(20, 30.0, false, 20'000), 0);
    // A 6 s clip has frames 0 .. 179; the last one stays.
    EXPECT_EQ(SteppedFrame(FrameStartMs(179, 30.0), 30.0, true, 6000), 179);
    EXPECT_EQ(SteppedFrame(FrameStartMs(178, 30.0), 30.0, true, 6000), 179);
    EXPECT_EQ(SteppedFrame(5990, 30.0, true, -1), 180) << "no known end";
}

TEST(FrameStepTest, AnUnknownRateStepsAsThirtyFrames) {
    for (double fps : {0.0, -5.0, 1e9, 0.5}) {
        EXPECT_EQ(FrameStartMs(1, fps), FrameStartMs(1, 30.0)) << fps;
        EXPECT_EQ(SteppedFrame(1000, fps, false, 20'000), 29) << fps;
    }
}

}  // namespace
}  // namespace orvo
