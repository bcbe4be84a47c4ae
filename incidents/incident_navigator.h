#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "incidents/incident.h"

namespace orvo {

// Where N / Shift+N take the player: a recording (catalogue entry) and the
// time to seek to, a few seconds before its incident so the lead-up is seen.
struct IncidentStop {
    int entry = 0;
    uint32_t incidentMs = 0;  // the earliest incident of the stop
    uint32_t seekMs = 0;      // incidentMs - lead, not below 0
};

// Seconds of lead-up shown before an incident.
inline constexpr uint32_t kIncidentLeadMs = 3000;
// Incidents of one recording this close to the stop's first incident (a
// jolt, the braking it starts and the camera's event) are one stop.
inline constexpr uint32_t kStopMergeMs = 3000;

// The stops of a card in entry order: incidents_by_entry[i] are entry i's
// incidents sorted by offset.
std::vector<IncidentStop> BuildIncidentStops(
    std::span<const std::vector<Incident>> incidents_by_entry);

// The stop N goes to from playback point (entry, time_ms). current is the
// stop of the last jump (-1 for none): while the player still stands on it
// (from its seek point to a second after its incident) N moves on to the
// stop after it; otherwise N goes to the first incident not reached yet.
// -1 when there is none.
int NextIncidentStop(std::span<const IncidentStop> stops, int entry, int64_t time_ms,
                     int current = -1);

// The stop Shift+N goes to: the one before current while the player stands
// on it; otherwise the last stop whose seek point lies more than two seconds
// back (a press well into an incident replays it). -1 when there is none.
int PreviousIncidentStop(std::span<const IncidentStop> stops, int entry, int64_t time_ms,
                         int current = -1);

}  // namespace orvo
