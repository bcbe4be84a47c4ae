#include "playback/rate_table.h"

#include <algorithm>
#include <array>

namespace orvo {

namespace {

struct RateRow {
    double rate;
    const char* label;
};

constexpr std::array<RateRow, kRateStepCount> kRates = {{
    {0.3, "0.3 X"},
    {0.4, "0.4 X"},
    {0.5, "0.5 X"},
    {0.6, "0.6 X"},
    {0.7, "0.7 X"},
    {0.8, "0.8 X"},
    {0.9, "0.9 X"},
    {1.0, "1.0 X"},
    {1.2, "1.2 X"},
    {1.4, "1.4 X"},
    {1.6, "1.6 X"},
    {1.8, "1.8 X"},
    {2.0, "2.0 X"},
    {2.4, "2.4 X"},
    {2.8, "2.8 X"},
    {3.2, "3.2 X"},
    {3.6, "3.6 X"},
    {4.0, "4.0 X"},
}};
static_assert(kRates[kNormalRateStep].rate == 1.0);

int ClampStep(int step) {
    return std::clamp(step, 0, kRateStepCount - 1);
}

}  // namespace

double RateOfStep(int step) {
    return kRates[ClampStep(step)].rate;
}

const char* RateLabel(int step) {
    return kRates[ClampStep(step)].label;
}

int FasterRateStep(int step) {
    return ClampStep(step + 1);
}

int SlowerRateStep(int step) {
    return ClampStep(step - 1);
}

RateOverlay MakeRateOverlay(int step, int picture_height) {
    RateOverlay overlay;
    overlay.text = RateLabel(step);
    // A tenth of the height, truncated; integer division gives the same value
    // as height * 0.1 for every non-negative height.
    if (picture_height > 0) overlay.size = picture_height / 10;
    overlay.enabled = RateOfStep(step) != 1.0;
    return overlay;
}

}  // namespace orvo
