#pragma once

#include <string>

namespace orvo {

// The eighteen playback rates offered by FAST and SLOW, with the label shown
// over the picture while the rate is not normal.
inline constexpr int kRateStepCount = 18;
inline constexpr int kNormalRateStep = 7;  // 1.0

// Overlay text size when the clip's picture height is not known.
inline constexpr int kDefaultOverlaySize = 48;

// Rate of a step (0..17); steps outside the table are clamped to it.
double RateOfStep(int step);
// "0.3 X" .. "4.0 X"; steps outside the table are clamped to it.
const char* RateLabel(int step);
// One step faster / slower, stopping at the ends of the table.
int FasterRateStep(int step);
int SlowerRateStep(int step);

// What the rate overlay shows for a step on a clip of the given picture
// height (0 when not known): the label, a size of a tenth of the height, and
// whether it is shown at all (only off the normal rate).
struct RateOverlay {
    std::string text;
    int size = kDefaultOverlaySize;
    bool enabled = false;
};
RateOverlay MakeRateOverlay(int step, int picture_height);

}  // namespace orvo
