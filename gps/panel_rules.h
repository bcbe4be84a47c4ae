#pragma once

#include <cstddef>
#include <string>

namespace orvo {

// Compass picture for a GPS course: 0 = no pictures, otherwise 1..count.
// The course is mirrored (pictures turn counter-clockwise) and brought into
// 0..359 for any input; sectors are centred on the compass points, a
// remainder of 22 degrees rounding down and 23 up.
unsigned CompassIndexForHeading(int degrees, size_t picture_count);

// The speed display rule shared by the speed label and the G-sensor readout:
// km/h as stored, MPH = km/h * 10 / 16 truncated; the number right-aligned in
// three characters.
std::string SpeedValueText(bool metric, unsigned speed_kmh);
const char* SpeedUnitText(bool metric);  // "Km/h" or "MPH"
inline constexpr const char* kUnknownSpeedText = "---";

// Progress text of the status board: "42 %".
std::string ProgressText(int percent);

// Width of the filled part of the status board.
int ProgressSplit(int left, int width, int percent);

}  // namespace orvo
