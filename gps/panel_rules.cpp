#include "gps/panel_rules.h"

#include <cstdio>

namespace orvo {

unsigned CompassIndexForHeading(int degrees, size_t picture_count) {
    if (picture_count == 0) return 0;
    const int a = ((360 - degrees % 360) % 360 + 360) % 360;
    int k = a / 45;
    if (a - 45 * k > 22) ++k;
    return static_cast<unsigned>(static_cast<size_t>(k) % picture_count) + 1;
}

std::string SpeedValueText(bool metric, unsigned speed_kmh) {
    const unsigned shown = metric ? speed_kmh : speed_kmh * 10 / 16;
    char text[16];
    std::snprintf(text, sizeof text, "%3u", shown);
    return text;
}

const char* SpeedUnitText(bool metric) {
    return metric ? "Km/h" : "MPH";
}

std::string ProgressText(int percent) {
    char text[32];
    std::snprintf(text, sizeof text, "%d %c", percent, '%');
    return text;
}

int ProgressSplit(int left, int width, int percent) {
    return left + static_cast<int>(static_cast<long long>(width) * percent / 100);
}

}  // namespace orvo
