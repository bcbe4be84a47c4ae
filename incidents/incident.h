#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "metadata/telemetry.h"

namespace orvo {

// What made a moment of a recording stand out.
enum class IncidentKind : uint8_t {
    kGForce,        // a sudden change of acceleration (a knock, a jolt, a pothole)
    kBraking,       // GPS speed falling faster than the braking threshold
    kAcceleration,  // GPS speed rising faster than the acceleration threshold
    kEvent,         // the camera saved the recording as an event (EMER)
};

// "g-force", "braking", "acceleration", "event".
std::string_view IncidentKindName(IncidentKind kind);

// One hard moment of one recording. Times are milliseconds from the start
// of the recording; offsetMs is the moment of the peak, startMs..endMs the
// run of samples above the threshold that formed the incident.
struct Incident {
    IncidentKind kind = IncidentKind::kGForce;
    uint32_t offsetMs = 0;
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    // g for g-force and event incidents (the change of acceleration), km/h
    // per second for braking and acceleration (always positive).
    double peak = 0;
    // The GPS sample at offsetMs, when it carries a fix.
    std::optional<unsigned> speedKmh;
    std::optional<GeoPosition> position;
};

}  // namespace orvo
