#include "app/frame_step.h"

#include <algorithm>
#include <cmath>

namespace orvo {

namespace {

constexpr double kFallbackFps = 30.0;
// Keeps a start time read back through floating point inside its frame.
constexpr double kIndexSlack = 1e-6;

double UsableFps(double fps) {
    return std::isfinite(fps) && fps >= 1.0 && fps <= 1000.0 ? fps : kFallbackFps;
}

}  // namespace

int64_t FrameIndexAt(int64_t time_ms, double fps) {
    if (time_ms <= 0) return 0;
    const double frames = static_cast<double>(time_ms) * UsableFps(fps) / 1000.0;
    return static_cast<int64_t>(std::floor(frames + kIndexSlack));
}

int64_t FrameStartMs(int64_t index, double fps) {
    if (index <= 0) return 0;
    const double start = static_cast<double>(index) * 1000.0 / UsableFps(fps);
    return static_cast<int64_t>(std::ceil(start - kIndexSlack));
}

int64_t FrameMiddleMs(int64_t index, double fps) {
    const double middle =
        (static_cast<double>(std::max<int64_t>(0, index)) + 0.5) * 1000.0 / UsableFps(fps);
    return std::llround(middle);
}

int64_t SteppedFrame(int64_t now_ms, double fps, bool forward, int64_t length_ms) {
    const int64_t frame = FrameIndexAt(now_ms, fps) + (forward ? 1 : -1);
    if (frame < 0) return 0;
    if (length_ms > 0) return std::min(frame, FrameIndexAt(length_ms - 1, fps));
    return frame;
}

}  // namespace orvo
