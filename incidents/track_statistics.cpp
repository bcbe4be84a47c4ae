#include "incidents/track_statistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvo {

namespace {

constexpr double kEarthRadiusM = 6371008.8;  // IUGG mean radius

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

}  // namespace

double GreatCircleMetres(const GeoPosition& a, const GeoPosition& b) {
    const double lat1 = Radians(a.latitude);
    const double lat2 = Radians(b.latitude);
    const double dlat = lat2 - lat1;
    const double dlon = Radians(b.longitude - a.longitude);
    const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                     std::cos(lat1) * std::cos(lat2) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2 * kEarthRadiusM * std::asin(std::sqrt(std::min(1.0, h)));
}

bool TrackStatistics::Drivable(const TimedPosition& from, const TimedPosition& to, double* metres) {
    *metres = GreatCircleMetres(from.position, to.position);
    const double seconds = std::max(0.0, to.time_s - from.time_s);
    return *metres <= kMaxCarSpeedKmh / 3.6 * seconds + kPositionNoiseM;
}

void TrackStatistics::Add(double time_s, const GeoPosition& position, double speed_kmh,
                          double weight_s) {
    ++fixes_;
    AddSpeed(speed_kmh, weight_s);
    const TimedPosition here{time_s, position};
    if (!anchor_) {
        anchor_ = here;
        return;
    }
    double metres = 0;
    if (Drivable(*anchor_, here, &metres)) {
        distance_m_ += metres;
    } else if (pending_ && Drivable(*pending_, here, &metres)) {
        // The anchor was the outlier: carry on from the fix after it.
        distance_m_ += metres;
    } else {
        ++skipped_jumps_;
        pending_ = here;
        return;
    }
    anchor_ = here;
    pending_.reset();
}

void TrackStatistics::AddSpeed(double speed_kmh, double weight_s) {
    if (!(speed_kmh <= kMaxCarSpeedKmh)) return;
    max_speed_kmh_ = std::max(max_speed_kmh_, speed_kmh);
    if (speed_kmh >= kMovingKmh && weight_s > 0) {
        moving_s_ += weight_s;
        moving_speed_s_ += speed_kmh * weight_s;
    }
}

double TrackStatistics::average_moving_speed_kmh() const {
    return moving_s_ > 0 ? moving_speed_s_ / moving_s_ : 0.0;
}

}  // namespace orvo
