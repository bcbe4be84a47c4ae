#include "incidents/incident_detector.h"

#include <algorithm>
#include <cmath>

#include "incidents/acceleration_window.h"

namespace orvo {

namespace {

// Raw axis values lie in -128..127: a squared change of at most 3 * 255^2.
constexpr uint32_t kMaxSquaredChange = 3u * 255u * 255u;

uint32_t SampleTimeMs(size_t index, size_t count, uint32_t duration_ms) {
    return static_cast<uint32_t>(static_cast<uint64_t>(index) * duration_ms / count);
}

uint32_t GpsTimeMs(size_t index, unsigned rate) {
    const uint64_t ms = static_cast<uint64_t>(index) * 1000u / rate;
    return static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX));
}

// Incidents of one kind from values above a threshold, fed in time order:
// values whose spans lie within gap_ms of each other form one incident with
// the first of its highest values as the peak.
class IncidentRuns {
public:
    IncidentRuns(IncidentKind kind, uint32_t gap_ms) : kind_(kind), gap_ms_(gap_ms) {}

    void Add(uint32_t time_ms, uint32_t from_ms, uint32_t to_ms, double value) {
        if (!runs_.empty() && static_cast<int64_t>(from_ms) - runs_.back().endMs <= gap_ms_) {
            Incident& open = runs_.back();
            open.startMs = std::min(open.startMs, from_ms);
            open.endMs = std::max(open.endMs, to_ms);
            if (value > open.peak) {
                open.peak = value;
                open.offsetMs = time_ms;
            }
            return;
        }
        Incident incident;
        incident.kind = kind_;
        incident.offsetMs = time_ms;
        incident.startMs = from_ms;
        incident.endMs = to_ms;
        incident.peak = value;
        runs_.push_back(incident);
    }
    uint32_t gap_ms() const { return gap_ms_; }
    void MoveTo(std::vector<Incident>* out) {
        out->insert(out->end(), runs_.begin(), runs_.end());
        runs_.clear();
    }

private:
    IncidentKind kind_;
    uint32_t gap_ms_;
    std::vector<Incident> runs_;
};

// Samples compared with each sample: the window in samples, at least one.
size_t WindowSamples(size_t count, uint32_t duration_ms, uint32_t window_ms) {
    const double interval_ms = static_cast<double>(duration_ms) / static_cast<double>(count);
    return static_cast<size_t>(
        std::clamp(std::lround(window_ms / interval_ms), 1L, static_cast<long>(count - 1)));
}

// The change of acceleration of AccelerationChanges, squared and in raw
// sensor counts (before the scaling by gRange).
std::vector<float> SquaredChanges(std::span<const GSensorRecord> samples, uint32_t duration_ms,
                                  uint32_t window_ms) {
    const size_t n = samples.size();
    if (n < 2 || duration_ms == 0) return std::vector<float>(n, 0.0f);
    return SquaredChangesInWindow(samples, WindowSamples(n, duration_ms, window_ms));
}

// A squared change in counts as g. Every step is exact up to the square
// root: a difference of two values v * gRange / 128 is a multiple of 1/128,
// its square and the sum of three such squares are exact in a double, and
// equal squared * gRange^2 / 16384. So this is bit for bit the magnitude of
// the difference of the two vectors in g, and it rises strictly with
// squared (neighbouring integers below 2^18 differ by far more than a
// rounding step), so comparing squared changes compares changes in g.
double ChangeInG(float squared, unsigned g_range) {
    const double scale = static_cast<double>(g_range) * static_cast<double>(g_range) / 16384.0;
    return std::sqrt(static_cast<double>(squared) * scale);
}

// The smallest squared change whose value in g reaches threshold_g
// (kMaxSquaredChange + 1 when none does): comparing a squared change with it
// decides as comparing its value in g with the threshold.
uint32_t SquaredThreshold(double threshold_g, unsigned g_range) {
    uint32_t low = 0;
    uint32_t high = kMaxSquaredChange + 1;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (ChangeInG(static_cast<float>(middle), g_range) >= threshold_g) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// The g-force incidents: the samples whose squared change reaches `jolt`.
// A run of neighbouring samples that all reach it goes to the runs as one
// value, its first highest, spanning the run: that forms the incidents that
// feeding it sample by sample would, as long as neighbouring samples lie no
// further apart than the merge gap (every real sensor); otherwise each
// sample goes alone. The loop runs over every sample of the recording.
void AddJolts(std::span<const float> squared, float jolt, uint32_t duration_ms, unsigned g_range,
              IncidentRuns* runs) {
    const size_t n = squared.size();
    const uint64_t widest_step = n == 0 ? 0 : (static_cast<uint64_t>(duration_ms) + n - 1) / n;
    const bool neighbours_merge = widest_step <= runs->gap_ms();
    size_t i = 0;
    while (true) {
        while (i < n && !(squared[i] >= jolt)) ++i;
        if (i == n) break;
        size_t last = i;
        size_t highest = i;
        if (neighbours_merge) {
            while (last + 1 < n && squared[last + 1] >= jolt) {
                ++last;
                if (squared[last] > squared[highest]) highest = last;
            }
        }
        runs->Add(SampleTimeMs(highest, n, duration_ms), SampleTimeMs(i, n, duration_ms),
                  SampleTimeMs(last, n, duration_ms), ChangeInG(squared[highest], g_range));
        i = last + 1;
    }
}

// Each speed change as SpeedChanges defines it, handed over as the indices
// of its two records (later i, earlier j) and its km/h per second, so that
// callers convert indices to times only where they need them.
template <typename Visit>
void ForEachSpeedChange(std::span<const GpsRecord> records, unsigned gps_rate, Visit visit) {
    const size_t rate = gps_rate;
    for (size_t i = rate; i < records.size(); ++i) {
        if ((records[i].flags & 1) == 0) continue;
        // The latest fix at least one second back, and not more than three.
        const size_t oldest = i >= 3 * rate ? i - 3 * rate : 0;
        size_t j = i - rate;
        while (j > oldest && (records[j].flags & 1) == 0) --j;
        if ((records[j].flags & 1) == 0) continue;
        const double change =
            static_cast<double>(records[i].speed) - static_cast<double>(records[j].speed);
        // One second apart is the rule; dividing by 1.0 changes nothing.
        const double per_second =
            i - j == rate ? change
                          : change / (static_cast<double>(i - j) / static_cast<double>(rate));
        if (std::fabs(per_second) > kMaxPlausibleKmhPerS) continue;
        visit(i, j, per_second);
    }
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
    if (g_range == 0) g_range = 8;
    const std::vector<float> squared = SquaredChanges(samples, duration_ms, window_ms);
    std::vector<double> changes(squared.size());
    for (size_t i = 0; i < squared.size(); ++i) changes[i] = ChangeInG(squared[i], g_range);
    return changes;
}

std::vector<SpeedChange> SpeedChanges(std::span<const GpsRecord> records, unsigned gps_rate) {
    std::vector<SpeedChange> out;
    if (gps_rate == 0) gps_rate = 1;
    ForEachSpeedChange(records, gps_rate, [&](size_t i, size_t j, double per_second) {
        out.push_back({GpsTimeMs((i + j) / 2, gps_rate), GpsTimeMs(j, gps_rate),
                       GpsTimeMs(i, gps_rate), per_second});
    });
    return out;
}

std::vector<Incident> DetectIncidents(const ClipInfo& info, std::span<const GpsRecord> gps,
                                      std::span<const GSensorRecord> gsensor, bool event_recording,
                                      const IncidentThresholds& thresholds) {
    const unsigned gps_rate = GpsRate(info);
    const unsigned g_range = GRange(info);
    std::vector<Incident> out;

    const std::vector<float> squared =
        SquaredChanges(gsensor, info.durationMs, thresholds.gWindowMs);
    const auto jolt = static_cast<float>(SquaredThreshold(thresholds.gForceG, g_range));
    IncidentRuns jolts(IncidentKind::kGForce, thresholds.mergeGapMs);
    AddJolts(squared, jolt, info.durationMs, g_range, &jolts);
    jolts.MoveTo(&out);

    IncidentRuns braking(IncidentKind::kBraking, thresholds.mergeGapMs);
    IncidentRuns speeding_up(IncidentKind::kAcceleration, thresholds.mergeGapMs);
    ForEachSpeedChange(gps, gps_rate, [&](size_t i, size_t j, double per_second) {
        const auto add = [&](IncidentRuns& runs, double value) {
            runs.Add(GpsTimeMs((i + j) / 2, gps_rate), GpsTimeMs(j, gps_rate),
                     GpsTimeMs(i, gps_rate), value);
        };
        if (per_second <= -thresholds.brakingKmhPerS) {
            add(braking, -per_second);
        } else if (per_second >= thresholds.accelerationKmhPerS) {
            add(speeding_up, per_second);
        }
    });
    braking.MoveTo(&out);
    speeding_up.MoveTo(&out);

    if (event_recording) {
        // The camera keeps some seconds before its trigger, so the event is
        // put where the acceleration changed most: the likely trigger.
        Incident event;
        event.kind = IncidentKind::kEvent;
        const auto strongest = std::max_element(squared.begin(), squared.end());
        if (strongest != squared.end() && *strongest > 0) {
            const size_t index = static_cast<size_t>(strongest - squared.begin());
            event.offsetMs = SampleTimeMs(index, squared.size(), info.durationMs);
            event.peak = ChangeInG(*strongest, g_range);
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
