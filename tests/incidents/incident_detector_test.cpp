// The detector on recordings written byte by byte: known jolts and speed
// changes must come out as incidents at their times, and quiet driving must
// not.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace orvo
