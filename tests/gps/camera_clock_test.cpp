#include "gps/camera_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gps/track_points.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

// The viewing machine is in New York; the cameras are elsewhere.
const bool kZoneSet = test_support::PinTimeZone("America/New_York");

CameraClock Clock(const std::string& text) {
    std::string error;
    const auto clock = CameraClock::Parse(text, &error);
    EXPECT_TRUE(clock.has_value()) << text << ": " << error;
    return clock.value_or(CameraClock());
}

constexpr int64_t kNoonUtc = 1525176000;  // 2018-05-01 12:00:00 UTC

TEST(CameraClockTest, FixedOffsets) {
    EXPECT_EQ(Clock("+09:00").ToUtc(2018, 5, 1, 21, 0, 0), kNoonUtc);
    EXPECT_EQ(Clock("+0900").ToUtc(2018, 5, 1, 21, 0, 0), kNoonUtc);
    EXPECT_EQ(Clock("+9").ToUtc(2018, 5, 1, 21, 0, 0), kNoonUtc);
    EXPECT_EQ(Clock("-05:30").ToUtc(2018, 5, 1, 6, 30, 0), kNoonUtc);
    EXPECT_EQ(Clock("UTC").ToUtc(2018, 5, 1, 12, 0, 0), kNoonUtc);
    EXPECT_EQ(Clock("Z").ToUtc(2018, 5, 1, 12, 0, 0), kNoonUtc);
    // Days past the month's end roll over like the local rule: Feb 30 = Mar 2.
    EXPECT_EQ(Clock("Z").ToUtc(2018, 2, 30, 0, 0, 0), Clock("Z").ToUtc(2018, 3, 2, 0, 0, 0));
    EXPECT_FALSE(Clock("Z").ToUtc(2018, 13, 1, 0, 0, 0));
    EXPECT_FALSE(Clock("Z").ToUtc(2018, 5, 1, 24, 0, 0));
}

TEST(CameraClockTest, IanaZonesFollowDaylightSavingAndLeaveTzAlone) {
    EXPECT_EQ(Clock("Asia/Tokyo").ToUtc(2018, 5, 1, 21, 0, 0), kNoonUtc);
    // Berlin: +2 in summer, +1 in winter.
    EXPECT_EQ(Clock("Europe/Berlin").ToUtc(2018, 5, 1, 14, 0, 0), kNoonUtc);
    EXPECT_EQ(Clock("Europe/Berlin").ToUtc(2018, 1, 1, 13, 0, 0), 1514808000);
    EXPECT_STREQ(std::getenv("TZ"), "America/New_York");
    // The default clock is the viewing machine's local time (EDT, -4).
    EXPECT_EQ(CameraClock().ToUtc(2018, 5, 1, 8, 0, 0), kNoonUtc);
    EXPECT_TRUE(CameraClock().is_local_rule());
}

TEST(CameraClockTest, TimesOfTheLocalRuleAreReadAgain) {
    // The catalogue read 21:00 as New York time; the camera was in Tokyo.
    const int64_t local_rule = CameraClock().ToUtc(2018, 5, 1, 21, 0, 0).value();
    EXPECT_EQ(Clock("Asia/Tokyo").FromLocalRule(local_rule), kNoonUtc);
    EXPECT_EQ(CameraClock().FromLocalRule(local_rule), local_rule);
}

TEST(CameraClockTest, UnknownZonesAndBadOffsetsAreRefusedWithAReason) {
    for (const char* bad : {"Asia/Nowhere", "+25:00", "+09:0", "9", "../../etc/passwd",
                            "/usr/share/zoneinfo/Asia/Tokyo", "", "+09:00x"}) {
        std::string error;
        EXPECT_FALSE(CameraClock::Parse(bad, &error)) << bad;
        EXPECT_NE(error.find("time zone"), std::string::npos) << bad;
    }
}

TEST(CameraClockTest, FormatUtcMs) {
    EXPECT_EQ(FormatUtcMs(kNoonUtc + 0.1), "2018-05-01T12:00:00.100Z");
    EXPECT_EQ(FormatUtcMs(kNoonUtc + 59.9996), "2018-05-01T12:01:00.000Z");
    EXPECT_EQ(FormatUtcMs(-0.5), "1969-12-31T23:59:59.500Z");
}

TEST(RecordTimesTest, CountFromTheFirstDatedRecordOrTheStart) {
    std::vector<GpsRecord> records(25);
    records[12].year = 18;
    records[12].month = 5;
    records[12].day = 1;
    records[12].hour = 21;
    const auto times = RecordTimes(records, 10, 0, Clock("+09:00"));
    ASSERT_TRUE(times[0] && times[12] && times[24]);
    EXPECT_DOUBLE_EQ(*times[12], kNoonUtc);
    EXPECT_DOUBLE_EQ(*times[0], kNoonUtc - 1.2);
    EXPECT_DOUBLE_EQ(*times[24], kNoonUtc + 1.2);

    // No dated record: the recording's start time, read through the clock.
    const std::vector<GpsRecord> undated(3);
    const auto from_start = RecordTimes(undated, 0, kNoonUtc, CameraClock());
    EXPECT_DOUBLE_EQ(*from_start[2], kNoonUtc + 2.0);  // rate 0 counts as 1
    EXPECT_FALSE(RecordTimes(undated, 10, 0, CameraClock())[0]);
}

}  // namespace
}  // namespace orvo
