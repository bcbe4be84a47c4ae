#include "incidents/incident_detector.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvo {

namespace {

// One value that passed a threshold: where it is placed, the span of
// samples it was measured over, and its magnitude.
struct Candidate {
    uint32_t timeMs = 0;
    uint32_t fromMs = 0;
    uint32_t toMs = 0;
    double value = 0;
};

uint32_t SampleTimeMs(size_t index, size_t count, uint32_t duration_ms) {
    return static_cast<uint32_t>(static_cast<uint64_t>(index) * duration_ms / count);
}

uint32_t GpsTimeMs(size_t index, unsigned rate) {
    const uint64_t ms = static_cast<uint64_t>(index) * 1000u / rate;
    return static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX));
}

// Candidates in time order; runs whose spans lie within gap_ms of each other
// form one incident with the first of its highest values as the peak.
std::vector<Incident> FormIncidents(const std::vector<Candidate>& candidates, IncidentKind kind,
                                    uint32_t gap_ms) {
    std::vector<Incident> out;
    for (const Candidate& c : candidates) {
        if (!out.empty() && static_cast<int64_t>(c.fromMs) - out.back().endMs <= gap_ms) {
            Incident& open = out.back();
            open.startMs = std::min(open.startMs, c.fromMs);
            open.endMs = std::max(open.endMs, c.toMs);
            if (c.value > open.peak) {
                open.peak = c.value;
                open.offsetMs = c.timeMs;
            }
            continue;
        }
        Incident incident;
        incident.kind = kind;
        incident.offsetMs = c.timeMs;
        incident.startMs = c.fromMs;
        incident.endMs = c.toMs;
        incident.peak = c.value;
        out.push_back(incident);
    }
    return out;
}

std::array<double, 3> Vector(const GSensorRecord& s, unsigned g_range) {
    return {GValue(s.x, g_range), GValue(s.y, g_range), GValue(s.z, g_range)};
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

// Speed and position of the GPS sample at a time, when it has a fix.
void AttachGpsSample(Incident* incident, std::span<const GpsRecord> gps, unsigned gps_rate) {
    const auto index = GpsSampleIndex(incident->offsetMs, gps_rate, gps.size());
    if (!index) return;
    const GpsRecord& record = gps[*index];
    if ((record.flags & 1) == 0) return;
    incident->speedKmh = record.speed;
    incident->position = PositionOf(record);
}

}  // namespace

std::vector<double> AccelerationChanges(std::span<const GSensorRecord> samples,
                                        uint32_t duration_ms, unsigned g_range,
                                        uint32_t window_ms) {
    const size_t n = samples.size();
    std::vector<double> changes(n, 0.0);
    if (n < 2 || duration_ms == 0) return changes;
    if (g_range == 0) g_range = 8;
    const double interval_ms = static_cast<double>(duration_ms) / static_cast<double>(n);
    const size_t window = static_cast<size_t>(
        std::clamp(std::lround(window_ms / interval_ms), 1L, static_cast<long>(n - 1)));

    std::vector<std::array<double, 3>> g(n);
    for (size_t i = 0; i < n; ++i) g[i] = Vector(samples[i], g_range);
    for (size_t j = 1; j <= window; ++j) changes[0] = std::max(changes[0], Distance(g[0], g[j]));
    for (size_t i = 1; i < n; ++i) {
        const size_t reach = std::min(window, i);
        double largest = 0;
        for (size_t j = 1; j <= reach; ++j) largest = std::max(largest, Distance(g[i], g[i - j]));
        changes[i] = largest;
    }
    return changes;
}

std::vector<SpeedChange> SpeedChanges(std::span<const GpsRecord> records, unsigned gps_rate) {
    std::vector<SpeedChange> out;
    if (gps_rate == 0) gps_rate = 1;
    const size_t rate = gps_rate;
    for (size_t i = rate; i < records.size(); ++i) {
        if ((records[i].flags & 1) == 0) continue;
        // The latest fix at least one second back, and not more than three.
        const size_t oldest = i >= 3 * rate ? i - 3 * rate : 0;
        size_t j = i - rate;
        while (j > oldest && (records[j].flags & 1) == 0) --j;
        if ((records[j].flags & 1) == 0) continue;
        const double seconds = static_cast<double>(i - j) / static_cast<double>(rate);
        const double per_second =
            (static_cast<double>(records[i].speed) - static_cast<double>(records[j].speed)) /
            seconds;
        if (std::fabs(per_second) > kMaxPlausibleKmhPerS) continue;
        out.push_back({GpsTimeMs((i + j) / 2, gps_rate), GpsTimeMs(j, gps_rate),
                       GpsTimeMs(i, gps_rate), per_second});
    }
    return out;
}

std::vector<Incident> DetectIncidents(const ClipInfo& info, std::span<const GpsRecord> gps,
                                      std::span<const GSensorRecord> gsensor, bool event_recording,
                                      const IncidentThresholds& thresholds) {
    const unsigned gps_rate = GpsRate(info);
    std::vector<Incident> out;

    const std::vector<double> changes =
        AccelerationChanges(gsensor, info.durationMs, GRange(info), thresholds.gWindowMs);
    std::vector<Candidate> jolts;
    for (size_t i = 0; i < changes.size(); ++i) {
        if (changes[i] >= thresholds.gForceG) {
            const uint32_t at = SampleTimeMs(i, changes.size(), info.durationMs);
            jolts.push_back({at, at, at, changes[i]});
        }
    }
    for (Incident& incident : FormIncidents(jolts, IncidentKind::kGForce, thresholds.mergeGapMs)) {
        out.push_back(incident);
    }

    std::vector<Candidate> braking;
    std::vector<Candidate> speeding_up;
    for (const SpeedChange& change : SpeedChanges(gps, gps_rate)) {
        if (change.kmhPerS <= -thresholds.brakingKmhPerS) {
            braking.push_back({change.timeMs, change.fromMs, change.toMs, -change.kmhPerS});
        } else if (change.kmhPerS >= thresholds.accelerationKmhPerS) {
            speeding_up.push_back({change.timeMs, change.fromMs, change.toMs, change.kmhPerS});
        }
    }
    for (const Incident& incident :
         FormIncidents(braking, IncidentKind::kBraking, thresholds.mergeGapMs)) {
        out.push_back(incident);
    }
    for (const Incident& incident :
         FormIncidents(speeding_up, IncidentKind::kAcceleration, thresholds.mergeGapMs)) {
        out.push_back(incident);
    }

    if (event_recording) {
        // The camera keeps some seconds before its trigger, so the event is
        // put where the acceleration changed most: the likely trigger.
        Incident event;
        event.kind = IncidentKind::kEvent;
        const auto strongest = std::max_element(changes.begin(), changes.end());
        if (strongest != changes.end() && *strongest > 0) {
            const size_t index = static_cast<size_t>(strongest - changes.begin());
            event.offsetMs = SampleTimeMs(index, changes.size(), info.durationMs);
            event.peak = *strongest;
        }
        event.startMs = event.endMs = event.offsetMs;
        out.push_back(event);
    }

    for (Incident& incident : out) AttachGpsSample(&incident, gps, gps_rate);
    std::stable_sort(out.begin(), out.end(), [](const Incident& a, const Incident& b) {
        return a.offsetMs != b.offsetMs ? a.offsetMs < b.offsetMs : a.kind < b.kind;
    });
    return out;
}

std::string_view IncidentKindName(IncidentKind kind) {
    switch (kind) {
        case IncidentKind::kGForce:
            return "g-force";
        case IncidentKind::kBraking:
            return "braking";
        case IncidentKind::kAcceleration:
            return "acceleration";
        case IncidentKind::kEvent:
            return "event";
    }
    return "g-force";
}

}  // namespace orvo
