#include "incidents/trip_summary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "incidents/recording_telemetry.h"
#include "incidents/track_statistics.h"
#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::Fix;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

const bool kZoneSet = test_support::PinTimeZone("UTC0");

// One degree of a great circle on the mean-radius sphere: R * pi / 180.
constexpr double kMetresPerDegree = 111195.0802;

TEST(GreatCircleTest, MatchesHandComputedDistances) {
    EXPECT_NEAR(GreatCircleMetres({0, 0}, {1, 0}), kMetresPerDegree, 0.01);
    EXPECT_NEAR(GreatCircleMetres({0, 10}, {0, 11}), kMetresPerDegree, 0.01);
    // Along a parallel the arc shrinks with cos(latitude).
    EXPECT_NEAR(GreatCircleMetres({60, 0}, {60, 0.01}), kMetresPerDegree * 0.01 * 0.5, 0.01);
    // Across the antimeridian the short way round.
    EXPECT_NEAR(GreatCircleMetres({0, 179.5}, {0, -179.5}), kMetresPerDegree, 0.01);
    // Tokyo station to Osaka station, a well-known 403 km.
    EXPECT_NEAR(GreatCircleMetres({35.681236, 139.767125}, {34.702485, 135.495951}), 403058.1, 1.0);
    EXPECT_DOUBLE_EQ(GreatCircleMetres({35, 139}, {35, 139}), 0.0);
}

// A straight drive north: one fix a second, 0.0001 degree (11.12 m) apart,
// 40 km/h.
void DriveNorth(TrackStatistics* s, int fixes, double start_time = 0, double start_lat = 35.0) {
    for (int i = 0; i < fixes; ++i) {
        s->Add(start_time + i, {start_lat + i * 0.0001, 139.0}, 40, 1.0);
    }
}

TEST(TrackStatisticsTest, SumsLegsOfASmoothTrack) {
    TrackStatistics s;
    DriveNorth(&s, 101);
    EXPECT_NEAR(s.distance_m(), 100 * 0.0001 * kMetresPerDegree, 0.01);
    EXPECT_EQ(s.skipped_jumps(), 0u);
    EXPECT_EQ(s.fixes(), 101u);
}

TEST(TrackStatisticsTest, JumpFilter) {
    {
        SCOPED_TRACE("a lone outlier 5 km away is stepped over");
        TrackStatistics s;
        DriveNorth(&s, 50);
        s.Add(50, {35.05, 139.0}, 40, 1.0);
        for (int i = 51; i <= 100; ++i) s.Add(i, {35.0 + i * 0.0001, 139.0}, 40, 1.0);
        EXPECT_NEAR(s.distance_m(), 100 * 0.0001 * kMetresPerDegree, 0.01);
        EXPECT_EQ(s.skipped_jumps(), 1u);
    }
    {
        SCOPED_TRACE("an outlier as the very first fix is dropped");
        TrackStatistics s;
        s.Add(-1, {36.0, 139.0}, 40, 1.0);
        DriveNorth(&s, 101);
        EXPECT_NEAR(s.distance_m(), 100 * 0.0001 * kMetresPerDegree, 0.01);
        EXPECT_EQ(s.skipped_jumps(), 1u);
    }
    {
        SCOPED_TRACE("a far move after a long gap (tunnel, pause) counts");
        TrackStatistics s;
        DriveNorth(&s, 11);
        // 10 km in 10 minutes is 60 km/h: drivable.
        DriveNorth(&s, 11, 610, 35.001 + 10000 / kMetresPerDegree);
        EXPECT_NEAR(s.distance_m(), 20 * 0.0001 * kMetresPerDegree + 10000, 0.5);
        EXPECT_EQ(s.skipped_jumps(), 0u);
    }
    {
        SCOPED_TRACE("the same move in one second is a jump, both sides still count");
        TrackStatistics s;
        DriveNorth(&s, 11);
        DriveNorth(&s, 11, 11, 35.001 + 10000 / kMetresPerDegree);
        EXPECT_NEAR(s.distance_m(), 20 * 0.0001 * kMetresPerDegree, 0.01);
        EXPECT_EQ(s.skipped_jumps(), 1u);
    }
    {
        SCOPED_TRACE("receiver noise at a standstill stays within the slack");
        TrackStatistics s;
        s.Add(0, {35.0, 139.0}, 0, 0.1);
        s.Add(0.1, {35.0002, 139.0}, 0, 0.1);  // 22 m in 0.1 s
        EXPECT_NEAR(s.distance_m(), 0.0002 * kMetresPerDegree, 0.01);
    }
}

TEST(TrackStatisticsTest, SpeedsIgnoreGlitchesAndStandstill) {
    TrackStatistics s;
    // 10 s at 100 km/h sampled at 10 Hz, 10 s at 40 km/h at 1 Hz, 30 s
    // standing, and one impossible reading.
    double t = 0;
    for (int i = 0; i < 100; ++i, t += 0.1) s.Add(t, {35.0, 139.0}, 100, 0.1);
    for (int i = 0; i < 10; ++i, t += 1) s.Add(t, {35.0, 139.0}, 40, 1.0);
    for (int i = 0; i < 30; ++i, t += 1) s.Add(t, {35.0, 139.0}, 0, 1.0);
    s.Add(t, {35.0, 139.0}, 65535, 1.0);
    EXPECT_DOUBLE_EQ(s.max_speed_kmh(), 100.0);
    EXPECT_NEAR(s.average_moving_speed_kmh(), 70.0, 1e-9);

    TrackStatistics parked;
    parked.Add(0, {35.0, 139.0}, 0, 1.0);
    EXPECT_EQ(parked.average_moving_speed_kmh(), 0.0);
    EXPECT_EQ(parked.max_speed_kmh(), 0.0);
}

// A recording of `seconds` at 1 Hz driving north from lat_min minutes past
// 35 degrees, 0.06 minutes (0.001 degree) per fix.
RecordingOptions Drive(int minute, int seconds, double lat_min, uint16_t speed) {
    RecordingOptions options;
    options.hour = 9;
    options.minute = minute;
    options.duration_ms = static_cast<uint32_t>(seconds) * 1000;
    options.gps_rate_word = {1, 0, 0, 0};
    for (int i = 0; i < seconds; ++i) {
        options.gps.push_back(Fix(3500.0 + lat_min + i * 0.06, 13900.0, speed));
    }
    return options;
}

class TripSummaryFilesTest : public ::testing::Test {
protected:
    TempFolder card_;
};

TEST_F(TripSummaryFilesTest, OneTripPerGroupWithTimesDistanceAndSpeeds) {
    // 09:00 and 09:01 chain into one trip; 10:00 is a second one.
    RecordingOptions first = Drive(0, 60, 0.0, 36);
    first.gps[0].flags = 0;  // no fix yet: not part of the track
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090000.MOV", first);
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090100.MOV", Drive(1, 60, 3.6, 72));
    RecordingOptions later = Drive(0, 30, 0.0, 50);
    later.hour = 10;
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_100000.MOV", later);

    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_.str(), ""), 1);
    const std::vector<TripSummary> trips = SummarizeTrips(catalog);
    ASSERT_EQ(trips.size(), 2u);

    const TripSummary& trip = trips[0];
    EXPECT_EQ(trip.first, 0);
    EXPECT_EQ(trip.count, 2);
    EXPECT_EQ(trip.start, 1525165200);  // 2018-05-01 09:00:00 UTC
    EXPECT_EQ(trip.endMs, 1525165320000);
    EXPECT_EQ(trip.durationMs, 120000u);
    // Fixes 1..59 of the first recording, then 0..59 of the second, each
    // 0.001 degree on: 118 legs, including the one across the recordings.
    EXPECT_NEAR(trip.distanceM, 118 * 0.001 * kMetresPerDegree, 0.5);
    EXPECT_DOUBLE_EQ(trip.maxSpeedKmh, 72.0);
    EXPECT_NEAR(trip.avgSpeedKmh, (59 * 36.0 + 60 * 72.0) / 119, 1e-9);
    ASSERT_EQ(trip.files.size(), 2u);
    EXPECT_EQ(fs::path(trip.files[1]).filename(), "FILE180501_090100.MOV");
    EXPECT_TRUE(trip.cutOff.empty());

    EXPECT_EQ(trips[1].first, 2);
    EXPECT_EQ(trips[1].count, 1);
    EXPECT_EQ(trips[1].durationMs, 30000u);
    EXPECT_NEAR(trips[1].distanceM, 29 * 0.001 * kMetresPerDegree, 0.5);
}

TEST_F(TripSummaryFilesTest, TripOfAnEntryIsFoundInTimeOrderWhateverTheSort) {
    // Trip A: 09:00, 09:01, 09:02 (an event recording in the middle); trip B: 10:00.
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090000.MOV", Drive(0, 60, 0.0, 36));
    WriteRecording(card_.path() / "DCIM/EVENT/EMER180501_090100.MOV", Drive(1, 60, 3.6, 36));
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090200.MOV", Drive(2, 60, 7.2, 36));
    RecordingOptions later = Drive(0, 30, 0.0, 50);
    later.hour = 10;
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_100000.MOV", later);
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_.str(), ""), 1);
    ASSERT_EQ(catalog.Count(), 4);
    auto names = [&catalog](const std::vector<int>& members) {
        std::vector<std::string> out;
        for (int m : members) out.push_back(catalog.entries()[static_cast<size_t>(m)].fileName);
        return out;
    };
    const std::vector<std::string> trip_a = {"FILE180501_090000.MOV", "EMER180501_090100.MOV",
                                             "FILE180501_090200.MOV"};
    const std::vector<std::string> trip_b = {"FILE180501_100000.MOV"};
    EXPECT_EQ(names(TripEntriesOf(catalog.entries(), 1)), trip_a);
    EXPECT_EQ(names(TripEntriesOf(catalog.entries(), 3)), trip_b);

    // Newest first and by name the catalogue's own groups are cut
    // elsewhere; the trip of every row stays the same drive.
    for (const bool by_name : {false, true}) {
        SCOPED_TRACE(by_name ? "by name" : "newest first");
        ASSERT_EQ(catalog.Sort(by_name, by_name), 1);
        for (int entry = 0; entry < catalog.Count(); ++entry) {
            const std::string& name = catalog.entries()[static_cast<size_t>(entry)].fileName;
            EXPECT_EQ(names(TripEntriesOf(catalog.entries(), entry)),
                      name == trip_b[0] ? trip_b : trip_a)
                << name;
        }
    }
    EXPECT_TRUE(TripEntriesOf(catalog.entries(), 4).empty());
    EXPECT_TRUE(TripEntriesOf(catalog.entries(), -1).empty());

    // The copied recordings give the summary the catalogue's group gives.
    ASSERT_EQ(catalog.Sort(false, true), 1);
    const std::vector<int> members = TripEntriesOf(catalog.entries(), 0);
    std::vector<ClipEntry> copies;
    for (int m : members) copies.push_back(catalog.entries()[static_cast<size_t>(m)]);
    const TripSummary from_copies = SummarizeTrip(copies, members.front());
    const TripSummary from_group = SummarizeTrip(catalog, catalog.groups()[0]);
    EXPECT_EQ(from_copies.count, 3);
    EXPECT_EQ(from_copies.durationMs, 180000u);
    EXPECT_EQ(from_copies.fixes, 180u);
    EXPECT_DOUBLE_EQ(from_copies.distanceM, from_group.distanceM);
    EXPECT_EQ(from_copies.files, from_group.files);
}

TEST_F(TripSummaryFilesTest, CutOffBlockIsReportedAndAddsNothing) {
    test_support::RecordingSpec recording;
    recording.duration_ms = 60000;
    recording.date_text = test_support::FormatDateText(2018, 5, 1, 9, 0, 0);
    recording.gps = Drive(0, 60, 0.0, 36).gps;
    const test_support::Layout layout = test_support::BuildCameraMov(recording);
    const fs::path path = card_.path() / "FILE180501_090000.MOV";
    layout.WriteFile(path);
    fs::resize_file(path, layout.Mark("gps0") + 100);

    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_.str(), "FILE180501_090000.MOV"), 1);
    ASSERT_EQ(catalog.Count(), 1);
    const RecordingTelemetry telemetry =
        ReadRecordingTelemetry(path.string(), catalog.entries()[0].info);
    EXPECT_TRUE(telemetry.opened);
    EXPECT_TRUE(telemetry.gpsCutOff);
    EXPECT_TRUE(telemetry.gps.empty());

    const TripSummary trip = SummarizeTrip(catalog, catalog.groups()[0]);
    ASSERT_EQ(trip.cutOff.size(), 1u);
    EXPECT_EQ(trip.distanceM, 0.0);
    EXPECT_EQ(trip.durationMs, 60000u);
}

TEST(RecordingTelemetryTest, MissingFileIsNotOpened) {
    ClipInfo info;
    info.gpsSize = 64;
    const RecordingTelemetry telemetry = ReadRecordingTelemetry("/nonexistent/x.MOV", info);
    EXPECT_FALSE(telemetry.opened);
    EXPECT_FALSE(telemetry.gpsCutOff);
}

}  // namespace
}  // namespace orvo
