// The detector on recordings written byte by byte: known jolts and speed
// changes must come out as incidents at their times, and quiet driving must
// not.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "incidents/acceleration_window.h"
#include "incidents/card_incident_scan.h"
#include "incidents/incident_detector.h"
#include "metadata/parse_recording.h"
#include "tests/incidents/incident_telemetry.h"
#include "tests/library/card_files.h"

namespace orvo {
namespace {

using testing::LevelSamples;
using testing::RecordingOptions;
using testing::SteadyTrack;
using testing::TempFolder;

// One minute: G-sensor at 50 Hz (20 ms apart), GPS at 10 Hz.
constexpr uint32_t kDurationMs = 60000;
constexpr size_t kSamples = 3000;
constexpr uint32_t kSampleMs = 20;

class IncidentDetectorTest : public ::testing::Test {
protected:
    IncidentDetectorTest() {
        options_.duration_ms = kDurationMs;
        options_.gsensor = LevelSamples(kSamples);
        options_.gps = SteadyTrack(60, 10, 50);
    }

    // A knock: the forward axis reads `counts` for one sample.
    void Knock(size_t sample, int8_t counts) { options_.gsensor[sample].z = counts; }

    std::vector<Incident> Scan(const std::string& name = "FILE180501_120000.MOV",
                               const IncidentThresholds& thresholds = {}) {
        const auto path = folder_.path() / name;
        testing::WriteRecording(path, options_);
        CardRecording recording{path.string(), name, {}};
        EXPECT_EQ(ParseRecording(path, &recording.info), 0);
        const RecordingScan scan = ScanRecording(recording, 0, thresholds);
        EXPECT_TRUE(scan.readable);
        return scan.incidents;
    }

    static std::vector<Incident> OfKind(const std::vector<Incident>& all, IncidentKind kind) {
        std::vector<Incident> out;
        for (const Incident& i : all) {
            if (i.kind == kind) out.push_back(i);
        }
        return out;
    }

    TempFolder folder_;
    RecordingOptions options_;
};

TEST_F(IncidentDetectorTest, QuietDrivingHasNoIncidents) {
    EXPECT_TRUE(Scan().empty());
}

TEST_F(IncidentDetectorTest, OneKnockIsOneIncidentWithItsPeakSpeedAndPosition) {
    Knock(1000, -40);  // 2.5 g at a full scale of 8 g
    const std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 1u);
    const Incident& knock = incidents[0];
    EXPECT_EQ(knock.kind, IncidentKind::kGForce);
    EXPECT_EQ(knock.offsetMs, 1000 * kSampleMs);
    EXPECT_DOUBLE_EQ(knock.peak, 2.5);
    // The samples of the next 300 ms still differ from the knock by as much.
    EXPECT_EQ(knock.startMs, 1000 * kSampleMs);
    EXPECT_EQ(knock.endMs, 1015 * kSampleMs);
    ASSERT_TRUE(knock.speedKmh.has_value());
    EXPECT_EQ(*knock.speedKmh, 50u);
    ASSERT_TRUE(knock.position.has_value());
    const auto expected = PositionOf(options_.gps[200]);  // the record at 20 s
    EXPECT_DOUBLE_EQ(knock.position->latitude, expected->latitude);
    EXPECT_DOUBLE_EQ(knock.position->longitude, expected->longitude);
}

TEST_F(IncidentDetectorTest, CloseKnocksFormOneIncidentDistantOnesTwo) {
    Knock(1000, -40);
    Knock(1040, -56);  // 0.8 s later and harder: the peak of the one incident
    Knock(1500, -40);  // 10 s after the first: an incident of its own
    const std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 2u);
    EXPECT_EQ(incidents[0].startMs, 1000 * kSampleMs);
    EXPECT_EQ(incidents[0].offsetMs, 1040 * kSampleMs);
    EXPECT_DOUBLE_EQ(incidents[0].peak, 3.5);
    EXPECT_EQ(incidents[1].offsetMs, 1500 * kSampleMs);
}

TEST_F(IncidentDetectorTest, KnocksInTheFirstAndTheLastSampleAreFound) {
    Knock(0, -40);
    Knock(kSamples - 1, -40);
    const std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 2u);
    EXPECT_EQ(incidents[0].offsetMs, 0u);
    EXPECT_DOUBLE_EQ(incidents[0].peak, 2.5);
    EXPECT_EQ(incidents[1].offsetMs, (kSamples - 1) * kSampleMs);
    EXPECT_DOUBLE_EQ(incidents[1].peak, 2.5);
}

TEST_F(IncidentDetectorTest, FullScaleOfTheGSensorScalesTheChange) {
    Knock(1000, -13);                      // 13 counts: 0.8125 g at 8 g full scale, 0.406 g at 4 g
    options_.g_range_word = {0, 0, 0, 0};  // 0 counts as 8 g
    std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 1u);
    EXPECT_DOUBLE_EQ(incidents[0].peak, 13.0 * 8 / 128);

    options_.g_range_word = {0, 4, 0, 0};
    EXPECT_TRUE(Scan().empty());

    options_.g_range_word = {0, 16, 0, 0};
    incidents = Scan();
    ASSERT_EQ(incidents.size(), 1u);
    EXPECT_DOUBLE_EQ(incidents[0].peak, 13.0 * 16 / 128);
}

TEST_F(IncidentDetectorTest, HardBrakingIsFoundWithoutGSensorData) {
    options_.gsensor.clear();
    testing::Ramp(options_.gps, 300, 330, 60, 15);  // 45 km/h in 3 s: 15 km/h/s
    const std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 1u);
    const Incident& braking = incidents[0];
    EXPECT_EQ(braking.kind, IncidentKind::kBraking);
    EXPECT_NEAR(braking.peak, 15.0, 1.0);
    // The change is measured over one second and placed at its middle; the
    // incident spans the seconds measured.
    EXPECT_GE(braking.offsetMs, 30500u);
    EXPECT_LE(braking.offsetMs, 32500u);
    EXPECT_GE(braking.startMs, 29800u);
    EXPECT_LE(braking.startMs, 30000u);
    EXPECT_GE(braking.endMs, 33000u);
    EXPECT_LE(braking.endMs, 34000u);
    ASSERT_TRUE(braking.speedKmh.has_value());
    EXPECT_EQ(*braking.speedKmh, options_.gps[braking.offsetMs / 100].speed);
}

TEST_F(IncidentDetectorTest, BrakingAndAccelerationFollowTheirThresholds) {
    testing::Ramp(options_.gps, 100, 150, 50, 30);  // 4 km/h/s: an ordinary stop
    testing::Ramp(options_.gps, 200, 230, 30, 0);   // 10 km/h/s: below 12
    testing::Ramp(options_.gps, 300, 330, 0, 45);   // 15 km/h/s up
    testing::Ramp(options_.gps, 400, 420, 45, 5);   // 20 km/h/s down
    std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 2u);
    EXPECT_EQ(incidents[0].kind, IncidentKind::kAcceleration);
    EXPECT_NEAR(incidents[0].peak, 15.0, 1.0);
    EXPECT_EQ(incidents[1].kind, IncidentKind::kBraking);
    EXPECT_NEAR(incidents[1].peak, 20.0, 1.0);

    IncidentThresholds strict;
    strict.brakingKmhPerS = 9;
    strict.accelerationKmhPerS = 16;
    incidents = Scan("FILE180501_120000.MOV", strict);
    ASSERT_EQ(incidents.size(), 2u);
    EXPECT_EQ(incidents[0].kind, IncidentKind::kBraking);
    EXPECT_NEAR(incidents[0].peak, 10.0, 1.0);
    EXPECT_EQ(incidents[1].kind, IncidentKind::kBraking);
}

TEST_F(IncidentDetectorTest, GpsGlitchesAndGapsInTheFixAreNotBraking) {
    options_.gps = SteadyTrack(60, 10, 60);
    options_.gps[150].speed = 0;  // one record without sense
    // Braking through a stretch without fix is measured across it.
    testing::Ramp(options_.gps, 300, 340, 60, 0);
    for (size_t i = 305; i < 325; ++i) options_.gps[i].flags = 0;
    const std::vector<Incident> incidents = Scan();
    ASSERT_EQ(incidents.size(), 1u);
    EXPECT_EQ(incidents[0].kind, IncidentKind::kBraking);
    EXPECT_GE(incidents[0].offsetMs, 29000u);
    EXPECT_NEAR(incidents[0].peak, 15.0, 1.0);
}

TEST_F(IncidentDetectorTest, EventRecordingIsAnIncidentAtItsStrongestJolt) {
    Knock(1000, -20);  // 1.25 g
    Knock(2000, -40);  // 2.5 g: where the camera was most likely triggered
    std::vector<Incident> incidents = Scan("EMER180501_120000.MOV");
    ASSERT_EQ(incidents.size(), 3u);
    EXPECT_EQ(incidents[1].kind, IncidentKind::kGForce);
    EXPECT_EQ(incidents[2].kind, IncidentKind::kEvent);
    EXPECT_EQ(incidents[2].offsetMs, 2000 * kSampleMs);
    EXPECT_DOUBLE_EQ(incidents[2].peak, 2.5);
    EXPECT_TRUE(incidents[2].position.has_value());

    options_.gsensor.clear();
    incidents = Scan("EMER180501_120000.MOV");
    ASSERT_EQ(incidents.size(), 1u);
    EXPECT_EQ(incidents[0].kind, IncidentKind::kEvent);
    EXPECT_EQ(incidents[0].offsetMs, 0u);
    EXPECT_EQ(incidents[0].peak, 0.0);
}

TEST_F(IncidentDetectorTest, UnreadableRecordingsAndBlocksBeyondTheEnd) {
    CardRecording missing{
        (folder_.path() / "EMER180501_120000.MOV").string(), "EMER180501_120000.MOV", {}};
    missing.info.durationMs = kDurationMs;
    RecordingScan scan = ScanRecording(missing, 7);
    EXPECT_FALSE(scan.readable);
    EXPECT_EQ(scan.index, 7u);
    ASSERT_EQ(scan.incidents.size(), 1u);  // the camera's word still counts
    EXPECT_EQ(scan.incidents[0].kind, IncidentKind::kEvent);

    Knock(1000, -40);
    const auto path = folder_.path() / "FILE180501_120000.MOV";
    testing::WriteRecording(path, options_);
    CardRecording cut{path.string(), "FILE180501_120000.MOV", {}};
    ASSERT_EQ(ParseRecording(path, &cut.info), 0);
    cut.info.gsenOffset = cut.info.fileSize - 10;  // runs past the end
    scan = ScanRecording(cut, 0);
    EXPECT_TRUE(scan.readable);
    EXPECT_TRUE(scan.incidents.empty());
    EXPECT_EQ(scan.track.size(), 60u);  // one point a second
}

TEST(AccelerationChangesTest, LargestChangeWithinTheWindow) {
    std::vector<GSensorRecord> samples = LevelSamples(10);
    EXPECT_TRUE(AccelerationChanges({}, 1000, 8, 300).empty());
    EXPECT_EQ(AccelerationChanges(samples, 0, 8, 300), std::vector<double>(10, 0.0));
    EXPECT_EQ(AccelerationChanges(std::vector<GSensorRecord>(1), 100, 8, 300),
              std::vector<double>(1, 0.0));

    // 10 samples over 1 s: 100 ms apart, a 300 ms window is three samples.
    samples[5].x = 32;  // 2 g sideways
    const std::vector<double> changes = AccelerationChanges(samples, 1000, 8, 300);
    const std::vector<double> expected = {0, 0, 0, 0, 0, 2, 2, 2, 2, 0};
    EXPECT_EQ(changes, expected);
    // A window shorter than one sample still compares neighbours.
    EXPECT_EQ(AccelerationChanges(samples, 1000, 8, 10)[6], 2.0);
    EXPECT_EQ(AccelerationChanges(samples, 1000, 8, 10)[7], 0.0);
}

// The change of acceleration as defined: for each sample the largest
// distance in g between its vector and those of the samples up to the
// window before it (after it, for the first sample), pair by pair.
std::vector<double> ChangesByDefinition(const std::vector<GSensorRecord>& samples,
                                        uint32_t duration_ms, unsigned g_range,
                                        uint32_t window_ms) {
    const size_t n = samples.size();
    std::vector<double> changes(n, 0.0);
    if (n < 2 || duration_ms == 0) return changes;
    if (g_range == 0) g_range = 8;
    const double interval = static_cast<double>(duration_ms) / static_cast<double>(n);
    const auto window = static_cast<size_t>(
        std::clamp(std::lround(window_ms / interval), 1L, static_cast<long>(n - 1)));
    const auto distance = [&](size_t a, size_t b) {
        const double dx = GValue(samples[a].x, g_range) - GValue(samples[b].x, g_range);
        const double dy = GValue(samples[a].y, g_range) - GValue(samples[b].y, g_range);
        const double dz = GValue(samples[a].z, g_range) - GValue(samples[b].z, g_range);
        return std::sqrt(dx * dx + dy * dy + dz * dz);
    };
    for (size_t j = 1; j <= window; ++j) changes[0] = std::max(changes[0], distance(0, j));
    for (size_t i = 1; i < n; ++i) {
        for (size_t j = 1; j <= std::min(window, i); ++j) {
            changes[i] = std::max(changes[i], distance(i, i - j));
        }
    }
    return changes;
}

// A bumpy ride: a random walk on every axis with jolts of any size, over the
// whole range of the sensor.
std::vector<GSensorRecord> BumpySamples(size_t count, std::mt19937& random) {
    std::uniform_int_distribution<int> step(-6, 6);
    std::uniform_int_distribution<int> any(-128, 127);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<GSensorRecord> samples(count);
    int axes[3] = {0, 16, 0};
    for (GSensorRecord& sample : samples) {
        for (int& axis : axes) {
            axis = percent(random) < 3 ? any(random) : std::clamp(axis + step(random), -128, 127);
        }
        sample = {static_cast<int8_t>(axes[0]), static_cast<int8_t>(axes[1]),
                  static_cast<int8_t>(axes[2])};
    }
    return samples;
}

TEST(AccelerationChangesTest, EqualTheDefinitionBitForBitOnRandomRides) {
    std::mt19937 random(15);
    for (const size_t count : {2u, 3u, 9u, 16u, 17u, 31u, 250u, 3001u}) {
        const std::vector<GSensorRecord> samples = BumpySamples(count, random);
        for (const unsigned g_range : {0u, 1u, 3u, 8u, 16u, 255u}) {
            for (const uint32_t window_ms : {1u, 300u, 2500u, 1000000u}) {
                const uint32_t duration_ms = static_cast<uint32_t>(count) * 20;
                EXPECT_EQ(AccelerationChanges(samples, duration_ms, g_range, window_ms),
                          ChangesByDefinition(samples, duration_ms, g_range, window_ms))
                    << count << " samples, gRange " << g_range << ", window " << window_ms;
            }
        }
    }
}

TEST(AccelerationChangesTest, EveryVectorUnitGivesTheSameSquaredChanges) {
    const auto squared = [](const GSensorRecord& a, const GSensorRecord& b) {
        const int dx = a.x - b.x;
        const int dy = a.y - b.y;
        const int dz = a.z - b.z;
        return static_cast<float>(dx * dx + dy * dy + dz * dz);
    };
    std::mt19937 random(7);
    // Lengths that leave every kind of rest after blocks of 16 and of 8.
    for (const size_t count : {2u, 5u, 24u, 40u, 47u, 63u, 64u, 65u, 1000u}) {
        const std::vector<GSensorRecord> samples = BumpySamples(count, random);
        for (const size_t window : {1u, 4u, 15u, 16u, 40u}) {
            const size_t reach = std::min(window, count - 1);
            std::vector<float> expected(count, 0.0f);
            for (size_t j = 1; j <= reach; ++j) {
                expected[0] = std::max(expected[0], squared(samples[0], samples[j]));
            }
            for (size_t i = 1; i < count; ++i) {
                for (size_t j = 1; j <= std::min(reach, i); ++j) {
                    expected[i] = std::max(expected[i], squared(samples[i], samples[i - j]));
                }
            }
            for (const VectorUnit unit :
                 {VectorUnit::kNone, VectorUnit::kSse2, VectorUnit::kAvx2}) {
                if (!CanRun(unit)) continue;
                EXPECT_EQ(SquaredChangesInWindow(samples, window, unit), expected)
                    << count << " samples, window " << window << ", unit "
                    << static_cast<int>(unit);
            }
        }
    }
}

TEST(AccelerationChangesTest, GForceIncidentsAreTheRunsOfSamplesAtOrAboveTheThreshold) {
    std::mt19937 random(3);
    const std::vector<GSensorRecord> samples = BumpySamples(3000, random);
    ClipInfo info;
    info.durationMs = 59990;  // samples 19 or 20 ms apart
    info.gRangeWord = {0, 4, 0, 0};
    const std::vector<double> changes = ChangesByDefinition(samples, info.durationMs, 4, 300);
    // A threshold equal to a sample's change takes that sample in.
    std::vector<double> sorted = changes;
    std::sort(sorted.begin(), sorted.end());
    for (const double threshold : {sorted[1500], sorted[2700], sorted[2999], 0.0}) {
        // Gaps below the sample spacing keep every sample apart.
        for (const uint32_t gap_ms : {0u, 19u, 20u, 100u, 1000u}) {
            std::vector<Incident> expected;
            for (size_t i = 0; i < changes.size(); ++i) {
                if (changes[i] < threshold) continue;
                const auto at = static_cast<uint32_t>(i * info.durationMs / changes.size());
                if (!expected.empty() &&
                    static_cast<int64_t>(at) - expected.back().endMs <= gap_ms) {
                    expected.back().endMs = at;
                    if (changes[i] > expected.back().peak) {
                        expected.back().peak = changes[i];
                        expected.back().offsetMs = at;
                    }
                    continue;
                }
                expected.push_back({IncidentKind::kGForce, at, at, at, changes[i], {}, {}});
            }
            IncidentThresholds thresholds;
            thresholds.gForceG = threshold;
            thresholds.mergeGapMs = gap_ms;
            const std::vector<Incident> found =
                DetectIncidents(info, {}, samples, true, thresholds);
            ASSERT_EQ(found.size(), expected.size() + 1) << threshold << " g, gap " << gap_ms;
            size_t next = 0;
            for (const Incident& incident : found) {
                if (incident.kind == IncidentKind::kEvent) {
                    const auto strongest = std::max_element(changes.begin(), changes.end());
                    EXPECT_EQ(incident.peak, *strongest);
                    EXPECT_EQ(incident.offsetMs,
                              (strongest - changes.begin()) * info.durationMs / changes.size());
                    continue;
                }
                const Incident& want = expected[next++];
                EXPECT_EQ(incident.offsetMs, want.offsetMs);
                EXPECT_EQ(incident.startMs, want.startMs);
                EXPECT_EQ(incident.endMs, want.endMs);
                EXPECT_EQ(incident.peak, want.peak);
            }
        }
    }
}

TEST(TripTrackTest, WholeTrackUpToTheCapThenEvenlyThinnedWithBothEnds) {
    std::vector<RecordingScan> scans(3);
    double latitude = 0;
    for (RecordingScan& scan : scans) {
        for (int i = 0; i < 60; ++i) scan.track.push_back({latitude++, 139.0});
    }
    const std::vector<const RecordingScan*> parts = {&scans[0], &scans[1], &scans[2]};
    const auto latitudes = [&](size_t max_points) {
        std::vector<double> out;
        for (const GeoPosition& p : TripTrackOf(parts, max_points)) out.push_back(p.latitude);
        return out;
    };
    EXPECT_EQ(latitudes(180).size(), 180u);
    EXPECT_EQ(latitudes(1000).size(), 180u);
    EXPECT_TRUE(latitudes(0).empty());
    // 180 points at most 60: every fourth (0, 4, ..., 176) and the last.
    const std::vector<double> thinned = latitudes(60);
    ASSERT_EQ(thinned.size(), 46u);
    EXPECT_EQ(thinned.front(), 0.0);
    EXPECT_EQ(thinned[1], 4.0);
    EXPECT_EQ(thinned.back(), 179.0);
    for (const size_t cap : {2u, 3u, 7u, 59u, 90u, 179u}) {
        const std::vector<double> track = latitudes(cap);
        EXPECT_LE(track.size(), cap);
        EXPECT_EQ(track.front(), 0.0);
        EXPECT_EQ(track.back(), 179.0);
        EXPECT_TRUE(std::is_sorted(track.begin(), track.end()));
    }
    EXPECT_EQ(latitudes(1), (std::vector<double>{0.0, 179.0}));
}

}  // namespace
}  // namespace orvo
