#pragma once

#include <cstddef>
#include <optional>

#include "metadata/telemetry.h"

namespace orvo {

// Great-circle distance in metres between two positions (haversine on a
// sphere of the Earth's mean radius).
double GreatCircleMetres(const GeoPosition& a, const GeoPosition& b);

// Distance and speeds of a track fed one valid fix at a time, in time order.
//
// Distance sums the great-circle legs between consecutive fixes but skips a
// leg a car cannot drive in the time between its two fixes (faster than
// kMaxCarSpeedKmh, with kPositionNoiseM of slack for receiver noise): a lone
// outlier is stepped over (the leg is measured from the fix before it), and
// when two fixes in a row agree with each other but not with the fix before
// them, the track continues from there (the earlier fix was the outlier).
//
// Speeds are the receiver's own ground speed. Moving means at least
// kMovingKmh; the average is weighted by the time each fix stands for, so
// recordings with different GPS rates mix correctly. Readings above
// kMaxCarSpeedKmh are receiver glitches and ignored.
class TrackStatistics {
public:
    static constexpr double kMaxCarSpeedKmh = 300.0;
    static constexpr double kPositionNoiseM = 30.0;
    static constexpr double kMovingKmh = 5.0;

    // time_s: seconds on any common clock; weight_s: the time this fix stands
    // for (1 / GPS rate).
    void Add(double time_s, const GeoPosition& position, double speed_kmh, double weight_s);

    double distance_m() const { return distance_m_; }
    double max_speed_kmh() const { return max_speed_kmh_; }
    // 0 when the track never moved.
    double average_moving_speed_kmh() const;
    size_t fixes() const { return fixes_; }
    size_t skipped_jumps() const { return skipped_jumps_; }

private:
    struct TimedPosition {
        double time_s = 0;
        GeoPosition position;
    };
    static bool Drivable(const TimedPosition& from, const TimedPosition& to, double* metres);
    void AddSpeed(double speed_kmh, double weight_s);

    std::optional<TimedPosition> anchor_;
    std::optional<TimedPosition> pending_;
    double distance_m_ = 0;
    double max_speed_kmh_ = 0;
    double moving_s_ = 0;
    double moving_speed_s_ = 0;
    size_t fixes_ = 0;
    size_t skipped_jumps_ = 0;
};

}  // namespace orvo
