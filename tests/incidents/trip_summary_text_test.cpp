#include "incidents/trip_summary_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/ui_strings.h"
#include "incidents/trip_summary.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

const bool kZoneSet = test_support::PinTimeZone("UTC0");

TripSummary Drive() {
    TripSummary trip;
    trip.count = 3;
    trip.start = 1525165200;  // 2018-05-01 09:00:00
    trip.endMs = 1525165200000 + 3'725'400;
    trip.durationMs = 3'725'400;  // 1:02:05
    trip.distanceM = 12'345.0;
    trip.maxSpeedKmh = 71.6;
    trip.avgSpeedKmh = 38.4;
    trip.fixes = 3725;
    return trip;
}

TEST(TripSummaryTextTest, OneFactALineInEitherLanguage) {
    ASSERT_TRUE(kZoneSet);
    EXPECT_EQ(TripSummaryText(Drive(), 0),
              "Trip of 3 recordings\n"
              "Start: 2018-05-01 09:00:00\n"
              "End: 2018-05-01 10:02:05\n"
              "Duration: 1:02:05\n"
              "Distance: 12.3 km\n"
              "Maximum speed: 72 km/h\n"
              "Average moving speed: 38 km/h");
    const std::string japanese = TripSummaryText(Drive(), 1);
    EXPECT_EQ(japanese.substr(0, japanese.find('\n')), "走行 (録画 3 件)");
    EXPECT_NE(japanese.find("最高速度: 72 km/h"), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("走行距離: 12.3 km"), std::string::npos) << japanese;
    for (int id = 270; id <= 279; ++id) {
        EXPECT_FALSE(LoadUiStringFor(0, id).empty()) << id;
        EXPECT_FALSE(LoadUiStringFor(1, id).empty()) << id;
        EXPECT_NE(LoadUiStringFor(0, id), LoadUiStringFor(1, id)) << id;
    }
}

TEST(TripSummaryTextTest, SingleRecordingUnknownTimesAndNoFix) {
    TripSummary trip = Drive();
    trip.count = 1;
    trip.start = 0;
    trip.endMs = 0;
    trip.durationMs = 59'999;
    trip.fixes = 0;
    trip.distanceM = 0;
    EXPECT_EQ(TripSummaryText(trip, 0),
              "Trip of one recording\n"
              "Duration: 0:00:59\n"
              "No GPS position was recorded on this trip.");
    EXPECT_FALSE(TripSummaryPendingText(0).empty());
}

TEST(TripSummaryTextTest, DistanceAndDurationFormats) {
    struct Row {
        double metres;
        const char* text;
    };
    const Row rows[] = {{0, "0 m"},        {849.6, "850 m"},     {999.4, "999 m"},
                        {999.6, "1.0 km"}, {1'049.0, "1.0 km"},  {123'456.0, "123.5 km"},
                        {-5, "0 m"},       {std::nan(""), "0 m"}};
    for (const Row& row : rows) EXPECT_EQ(TripDistanceText(row.metres), row.text) << row.metres;
    EXPECT_EQ(TripDurationText(0), "0:00:00");
    EXPECT_EQ(TripDurationText(36'000'000 + 61'000), "10:01:01");
}

}  // namespace
}  // namespace orvo
