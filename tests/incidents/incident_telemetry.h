#pragma once

// Quiet telemetry for the incident tests, with spikes and speed changes put
// in by hand: a car standing level (1 g on the up/down axis) and a GPS track
// at a steady speed.

#include <cstddef>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo::testing {

// 1 g on y at a full scale of 8 g: 16 counts.
inline constexpr int8_t kOneG8 = 16;

inline std::vector<GSensorRecord> LevelSamples(size_t count) {
    return std::vector<GSensorRecord>(count, GSensorRecord{0, kOneG8, 0});
}

// `seconds` of records at `rate` per second, all with a fix at `kmh`,
// moving north a little with every record.
inline std::vector<GpsRecord> SteadyTrack(size_t seconds, unsigned rate, uint16_t kmh) {
    std::vector<GpsRecord> track(seconds * rate);
    for (size_t i = 0; i < track.size(); ++i) {
        track[i].latitude = 3540.0 + 0.001 * static_cast<double>(i);
        track[i].longitude = 13945.0;
        track[i].speed = kmh;
        track[i].flags = 1;
    }
    return track;
}

// Speeds of records [from, to) fall linearly from `high` to `low`, and stay
// at `low` after.
inline void Ramp(std::vector<GpsRecord>& track, size_t from, size_t to, double high, double low) {
    for (size_t i = from; i < track.size(); ++i) {
        const double f =
            i >= to ? 1.0 : static_cast<double>(i - from) / static_cast<double>(to - from);
        track[i].speed = static_cast<uint16_t>(high + f * (low - high) + 0.5);
    }
}

}  // namespace orvo::testing
