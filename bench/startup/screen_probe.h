#pragma once

// Watches the X screen for the benchmarks: when a top-level window is mapped,
// and how much of a screen rectangle shows a recording's colour.

#include <optional>

#include "bench/startup/bench_process.h"

namespace orvo::bench {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class ScreenProbe {
public:
    // `area` is grabbed on every look; `rgb` is the colour searched for.
    ScreenProbe(ScreenRect area, unsigned rgb);
    ~ScreenProbe();
    ScreenProbe(const ScreenProbe&) = delete;
    ScreenProbe& operator=(const ScreenProbe&) = delete;

    bool ok() const { return display_ != nullptr && image_ != nullptr; }
    // Forgets the windows mapped so far.
    void Reset();
    // Reads pending window events; the time the first top-level window at
    // least `min_width` wide was mapped after the last Reset.
    std::optional<Clock::time_point> MappedAt(int min_width);
    // Share (0..1) of the area's pixels (every second one each way) that are
    // near the colour.
    double ColourShare();

private:
    void* display_ = nullptr;  // Display*, kept out of the header
    void* image_ = nullptr;    // XImage* in shared memory
    void* shm_ = nullptr;      // XShmSegmentInfo*
    ScreenRect area_;
    unsigned rgb_;
    std::optional<Clock::time_point> mapped_at_;
};

}  // namespace orvo::bench
