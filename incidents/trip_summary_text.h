#pragma once

#include <cstdint>
#include <string>

namespace orvo {

struct TripSummary;

// The file list's tooltip of a trip's rows, one fact a line: the number of
// recordings, start and end on the camera's clock, duration, distance, and
// the maximum and average moving speed (km/h). A trip without a single GPS
// fix says so instead of showing zero distance and speeds. Texts of the
// given language index (0 English, 1 Japanese).
std::string TripSummaryText(const TripSummary& trip, int language_index);

// The line shown while the trip's GPS blocks are still being read.
std::string TripSummaryPendingText(int language_index);

// "h:mm:ss" of a duration in milliseconds, the seconds truncated.
std::string TripDurationText(uint64_t duration_ms);

// "850 m" below one kilometre, else "12.3 km" (one decimal, a decimal
// point whatever the locale).
std::string TripDistanceText(double metres);

}  // namespace orvo
