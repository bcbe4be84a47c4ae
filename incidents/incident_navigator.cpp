#include "incidents/incident_navigator.h"

namespace orvo {

namespace {

// A playback point stands on a stop from just before its seek point to a
// second after its incident.
constexpr int64_t kStandBeforeMs = 500;
constexpr int64_t kStandAfterMs = 1000;
constexpr int64_t kBackMs = 2000;

bool Before(int entry_a, int64_t ms_a, int entry_b, int64_t ms_b) {
    return entry_a != entry_b ? entry_a < entry_b : ms_a < ms_b;
}

bool StandsOn(std::span<const IncidentStop> stops, int current, int entry, int64_t time_ms) {
    if (current < 0 || static_cast<size_t>(current) >= stops.size()) return false;
    const IncidentStop& stop = stops[static_cast<size_t>(current)];
    return stop.entry == entry && time_ms >= static_cast<int64_t>(stop.seekMs) - kStandBeforeMs &&
           time_ms <= static_cast<int64_t>(stop.incidentMs) + kStandAfterMs;
}

}  // namespace

std::vector<IncidentStop> BuildIncidentStops(
    std::span<const std::vector<Incident>> incidents_by_entry) {
    std::vector<IncidentStop> stops;
    for (size_t entry = 0; entry < incidents_by_entry.size(); ++entry) {
        bool open = false;
        for (const Incident& incident : incidents_by_entry[entry]) {
            if (open && incident.offsetMs - stops.back().incidentMs < kStopMergeMs) continue;
            IncidentStop stop;
            stop.entry = static_cast<int>(entry);
            stop.incidentMs = incident.offsetMs;
            stop.seekMs =
                incident.offsetMs > kIncidentLeadMs ? incident.offsetMs - kIncidentLeadMs : 0;
            stops.push_back(stop);
            open = true;
        }
    }
    return stops;
}

int NextIncidentStop(std::span<const IncidentStop> stops, int entry, int64_t time_ms, int current) {
    if (StandsOn(stops, current, entry, time_ms)) {
        return static_cast<size_t>(current) + 1 < stops.size() ? current + 1 : -1;
    }
    for (size_t i = 0; i < stops.size(); ++i) {
        if (Before(entry, time_ms, stops[i].entry, stops[i].incidentMs)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int PreviousIncidentStop(std::span<const IncidentStop> stops, int entry, int64_t time_ms,
                         int current) {
    if (StandsOn(stops, current, entry, time_ms)) return current - 1;
    for (size_t i = stops.size(); i-- > 0;) {
        if (Before(stops[i].entry, stops[i].seekMs, entry, time_ms - kBackMs)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace orvo
