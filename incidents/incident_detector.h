#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "incidents/incident.h"
#include "metadata/telemetry.h"

namespace orvo {

// Thresholds of the detector. The defaults suit a passenger car:
// - g-force 0.8 g: the acceleration vector changing by 0.8 g within
//   300 ms. Driving, even brisk braking into a corner, changes it by less
//   than 0.5 g in that time (braking builds up over half a second or more,
//   and gravity cancels out of a change); a knock, a kerb, a deep pothole or
//   the jolt at the start of an emergency stop pass it.
// - braking 12 km/h per second (0.34 g): firmer than any stop at a light
//   (2-4 km/h/s) and what fleet telematics call harsh braking.
// - acceleration 11 km/h per second (0.31 g): an ordinary car at full
//   throttle from standstill; moving off normally takes 4-6 km/h/s.
// Speed changes above kMaxPlausibleKmhPerS are GPS glitches, not driving: a
// tyre on dry asphalt stops a car at about 1 g (35 km/h/s).
struct IncidentThresholds {
    double gForceG = 0.8;
    double brakingKmhPerS = 12.0;
    double accelerationKmhPerS = 11.0;
    // Span over which the change of acceleration is measured.
    uint32_t gWindowMs = 300;
    // Samples above a threshold closer than this form one incident.
    uint32_t mergeGapMs = 1000;
};
inline constexpr double kMaxPlausibleKmhPerS = 45.0;

// Change of acceleration at each G-sensor sample, in g: the largest
// magnitude of the difference between the sample's vector and the vectors
// of the samples up to window_ms before it (for the first sample, after it,
// so that a knock in the very first sample is seen). Samples are spread
// evenly over duration_ms; values scale with gRange (0 counts as 8).
std::vector<double> AccelerationChanges(std::span<const GSensorRecord> samples,
                                        uint32_t duration_ms, unsigned g_range, uint32_t window_ms);

// Speed change per second at each GPS record with a fix, in km/h per
// second (negative while braking): against the latest earlier record with a
// fix that lies at least one second and at most three seconds back. Records
// without such a partner, and implausible changes, give no value. Times in
// ms: the span measured and its middle, where the value is placed.
struct SpeedChange {
    uint32_t timeMs = 0;
    uint32_t fromMs = 0;
    uint32_t toMs = 0;
    double kmhPerS = 0;
};
std::vector<SpeedChange> SpeedChanges(std::span<const GpsRecord> records, unsigned gps_rate);

// Every incident of one recording, sorted by offset (then by kind): the
// G-force, braking and acceleration incidents, and for an event recording
// one event incident at the strongest change of acceleration (at 0 when it
// has no G-sensor data).
std::vector<Incident> DetectIncidents(const ClipInfo& info, std::span<const GpsRecord> gps,
                                      std::span<const GSensorRecord> gsensor, bool event_recording,
                                      const IncidentThresholds& thresholds = {});

}  // namespace orvo
