#include "metadata/telemetry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/metadata/parse_helpers.h"

namespace orvo {
namespace {

using test_support::UseTimeZone;

using TelemetryTest = test_support::UtcTest;

TEST_F(TelemetryTest, DecodesGpsRecordFromLittleEndianBytes) {
    // Built by hand, not with the encoder, so an encoder/decoder pair that
    // agree on the wrong layout cannot pass.
    std::array<uint8_t, 32> b{};
    // 3731.5 = 0x40AD270000000000
    const uint8_t lat[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x27, 0xAD, 0x40};
    // -12700.25 = 0xC0C8CE2000000000
    const uint8_t lon[8] = {0x00, 0x00, 0x00, 0x00, 0x20, 0xCE, 0xC8, 0xC0};
    std::copy(lat, lat + 8, b.begin());
    std::copy(lon, lon + 8, b.begin() + 8);
    b[16] = 0xFE;  // altitude -2
    b[17] = 0xFF;
    b[18] = 0xFF;
    b[19] = 0xFF;
    b[20] = 0x2C;  // speed 300
    b[21] = 0x01;
    const uint8_t tail[] = {18, 5, 1, 12, 34, 56, 45, 0x03, 0xAA, 0xBB};
    std::copy(std::begin(tail), std::end(tail), b.begin() + 22);

    const GpsRecord r = DecodeGpsRecord(b);
    EXPECT_DOUBLE_EQ(r.latitude, 3731.5);
    EXPECT_DOUBLE_EQ(r.longitude, -12700.25);
    EXPECT_EQ(r.altitude, -2);
    EXPECT_EQ(r.speed, 300);
    EXPECT_EQ(r.year, 18);
    EXPECT_EQ(r.month, 5);
    EXPECT_EQ(r.day, 1);
    EXPECT_EQ(r.hour, 12);
    EXPECT_EQ(r.minute, 34);
    EXPECT_EQ(r.second, 56);
    EXPECT_EQ(r.heading, 45);
    EXPECT_EQ(r.flags, 0x03);
    EXPECT_EQ(EncodeGpsRecord(r)[20], 0x2C);
}

TEST_F(TelemetryTest, DecodesSignedGSensorBytes) {
    const uint8_t b[3] = {0x80, 0x7F, 0xFF};
    const GSensorRecord s = DecodeGSensorRecord(std::span<const uint8_t, 3>(b));
    EXPECT_EQ(s.x, -128);
    EXPECT_EQ(s.y, 127);
    EXPECT_EQ(s.z, -1);
}

TEST_F(TelemetryTest, BlocksCountWholeRecordsOnly) {
    EXPECT_EQ(DecodeGpsBlock(std::vector<uint8_t>(31)).size(), 0u);
    EXPECT_EQ(DecodeGpsBlock(std::vector<uint8_t>(64)).size(), 2u);
    EXPECT_EQ(DecodeGpsBlock(std::vector<uint8_t>(95)).size(), 2u);
    EXPECT_EQ(DecodeGSensorBlock(std::vector<uint8_t>(8)).size(), 2u);
    EXPECT_EQ(GpsRecordCount(100), 3u);
    EXPECT_EQ(GSensorSampleCount(2), 0u);
}

using Word = std::array<uint8_t, 4>;

TEST_F(TelemetryTest, RateWordsUseTheirOwnByteAndDefaults) {
    EXPECT_EQ(GpsRate(Word{0, 9, 9, 9}), 1u);
    EXPECT_EQ(GpsRate(Word{10, 0, 0, 0}), 10u);
    EXPECT_EQ(GRange(Word{4, 0, 0, 0}), 8u);
    EXPECT_EQ(GRange(Word{0, 4, 0, 0}), 4u);
    EXPECT_DOUBLE_EQ(GValue(-128, 4), -4.0);
    EXPECT_DOUBLE_EQ(GValue(64, GRange(Word{0, 0, 0, 0})), 4.0);
}

TEST_F(TelemetryTest, ValidDateTimeRanges) {
    struct Row {
        unsigned mo, d, h, mi, s;
        bool valid;
    };
    const Row rows[] = {
        {1, 1, 0, 0, 0, true},   {12, 31, 23, 59, 59, true}, {2, 31, 0, 0, 0, true},
        {0, 1, 0, 0, 0, false},  {13, 1, 0, 0, 0, false},    {1, 0, 0, 0, 0, false},
        {1, 32, 0, 0, 0, false}, {1, 1, 24, 0, 0, false},    {1, 1, 0, 60, 0, false},
        {1, 1, 0, 0, 60, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsValidDateTime(r.mo, r.d, r.h, r.mi, r.s), r.valid)
            << r.mo << "-" << r.d << " " << r.h << ":" << r.mi << ":" << r.s;
    }
}

TEST_F(TelemetryTest, MakeLocalTimeConvertsAndNormalises) {
    EXPECT_EQ(MakeLocalTime(2018, 5, 1, 12, 0, 0), test_support::kMay1Noon);
    // Feb 30 passes the range check and becomes Mar 2.
    EXPECT_EQ(MakeLocalTime(2018, 2, 30, 10, 0, 0), MakeLocalTime(2018, 3, 2, 10, 0, 0));
    UseTimeZone("Asia/Tokyo");
    EXPECT_EQ(MakeLocalTime(2018, 5, 1, 21, 0, 0), test_support::kMay1Noon);
}

TEST_F(TelemetryTest, MakeLocalTimeRejectsOutOfRangeFields) {
    EXPECT_THROW(MakeLocalTime(1899, 1, 1, 0, 0, 0), TimeConversionError);
    EXPECT_THROW(MakeLocalTime(2018, 13, 1, 0, 0, 0), TimeConversionError);
    EXPECT_THROW(MakeLocalTime(2018, 1, 0, 0, 0, 0), TimeConversionError);
    EXPECT_THROW(MakeLocalTime(2018, 1, 1, -1, 0, 0), TimeConversionError);
    EXPECT_THROW(MakeLocalTime(2018, 1, 1, 0, 0, 60), TimeConversionError);
}

std::optional<int64_t> TextTime(const std::string& text) {
    return StartTimeFromDateText(
        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST_F(TelemetryTest, DateTextRules) {
    EXPECT_EQ(TextTime("2018-05-01 12:00:00"), test_support::kMay1Noon);
    EXPECT_EQ(TextTime("2018-02-30 10:00:00"), MakeLocalTime(2018, 3, 2, 10, 0, 0));
    EXPECT_EQ(TextTime("2018-05-01 12:00:00\nrubbish"), test_support::kMay1Noon);
    EXPECT_EQ(TextTime("1899-05-01 12:00:00"), std::nullopt);
    EXPECT_EQ(TextTime("2018-05-00 12:00:00"), std::nullopt);
    EXPECT_EQ(TextTime("2018-05-01 24:00:00"), std::nullopt);
    // Unscanned fields stay 0, so a text without a day is invalid.
    EXPECT_EQ(TextTime("2018-05"), std::nullopt);
    EXPECT_EQ(TextTime(""), std::nullopt);
    // Only 63 bytes are taken: a date after them is never seen.
    EXPECT_EQ(TextTime(std::string(63, ' ') + "2018-05-01 12:00:00"), std::nullopt);
    const DateText partial = ScanDateText(std::vector<uint8_t>{'2', '0', '1', '8', '-', '0', '7'});
    EXPECT_EQ(partial.year, 2018);
    EXPECT_EQ(partial.month, 7);
    EXPECT_EQ(partial.day, 0);
}

TEST_F(TelemetryTest, NmeaToDegreesTruncatesTowardZero) {
    EXPECT_NEAR(NmeaToDegrees(37.315), 37.525, 1e-12);
    EXPECT_NEAR(NmeaToDegrees(-37.315), -37.525, 1e-12);
    EXPECT_NEAR(NmeaToDegrees(127.0), 127.0, 1e-12);
    EXPECT_TRUE(std::isnan(NmeaToDegrees(std::nan(""))));
    EXPECT_TRUE(std::isnan(NmeaToDegrees(std::numeric_limits<double>::infinity())));
    EXPECT_DOUBLE_EQ(NmeaToDegrees(1e300), 1e300);
}

TEST_F(TelemetryTest, UsablePositionTable) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        double lat, lon;
        uint8_t flags;
        bool usable;
    };
    const Row rows[] = {
        {3731.5, 12700.0, 1, true},
        {3731.5, 12700.0, 0, false},
        {3731.5, 12700.0, 2, false},
        {3731.5, 12700.0, 3, true},
        {20000.0, 12700.0, 1, false},
        {3731.5, 20000.0, 1, false},
        {19999.0, 19999.0, 1, true},
        {-3731.5, -12700.0, 1, true},
        {std::nan(""), 12700.0, 1, false},
        {3731.5, -inf, 1, false},
        {inf, 0, 1, false},
        {-1e308, 0, 1, true},
    };
    for (const Row& r : rows) {
        GpsRecord rec;
        rec.latitude = r.lat;
        rec.longitude = r.lon;
        rec.flags = r.flags;
        EXPECT_EQ(IsUsablePosition(rec), r.usable) << r.lat << "," << r.lon << " f" << +r.flags;
        EXPECT_EQ(PositionOf(rec).has_value(), r.usable);
    }
    GpsRecord rec;
    rec.latitude = -3731.5;
    rec.longitude = 12700.0;
    rec.flags = 1;
    ASSERT_TRUE(PositionOf(rec));
    EXPECT_NEAR(PositionOf(rec)->latitude, -37.525, 1e-12);
    EXPECT_NEAR(PositionOf(rec)->longitude, 127.0, 1e-12);
}

GpsRecord Dated(int hour, int minute, int second) {
    GpsRecord r;
    r.year = 18;
    r.month = 5;
    r.day = 1;
    r.hour = static_cast<uint8_t>(hour);
    r.minute = static_cast<uint8_t>(minute);
    r.second = static_cast<uint8_t>(second);
    return r;
}

TEST_F(TelemetryTest, StartTimeFromGpsSubtractsWholeSecondsOfIndex) {
    const GpsRecord r = Dated(12, 0, 10);
    const int64_t own = test_support::kMay1Noon + 10;
    EXPECT_EQ(StartTimeFromGpsRecord(r, 25, 10), own - 2);
    EXPECT_EQ(StartTimeFromGpsRecord(r, 9, 10), own);
    EXPECT_EQ(StartTimeFromGpsRecord(r, 10, 10), own - 1);
    EXPECT_EQ(StartTimeFromGpsRecord(r, 3, 0), own - 3);  // rate 0 counts as 1

    GpsRecord undated = r;
    undated.year = 0;
    EXPECT_EQ(StartTimeFromGpsRecord(undated, 0, 10), std::nullopt);
    GpsRecord bad = r;
    bad.second = 60;
    EXPECT_EQ(StartTimeFromGpsRecord(bad, 0, 10), std::nullopt);

    // Only the first usable record counts.
    std::vector<GpsRecord> block(30);
    block[25] = r;
    block[27] = Dated(13, 0, 0);
    EXPECT_EQ(StartTimeFromGpsBlock(block, 10), own - 2);
    EXPECT_EQ(StartTimeFromGpsBlock(std::vector<GpsRecord>(4), 10), std::nullopt);
}

TEST_F(TelemetryTest, GpsSampleLookup) {
    EXPECT_EQ(GpsSampleIndex(0, 10, 600), 0u);
    EXPECT_EQ(GpsSampleIndex(1999, 10, 600), 19u);
    EXPECT_EQ(GpsSampleIndex(59999, 10, 600), 599u);
    EXPECT_EQ(GpsSampleIndex(60000, 10, 600), std::nullopt);
    EXPECT_EQ(GpsSampleIndex(2500, 0, 60), 2u);  // rate 0 counts as 1
    EXPECT_EQ(GpsSampleIndex(-5, 10, 600), std::nullopt);
    EXPECT_EQ(GpsSampleIndex(100, 10, 0), std::nullopt);
    EXPECT_EQ(GpsSampleIndex(std::numeric_limits<int64_t>::max(), 255, 10), std::nullopt);
}

TEST_F(TelemetryTest, GSensorSamplesSpreadOverDuration) {
    const double ratio = GSensorIndexRatio(3000, 60000);  // 0.05 per ms
    EXPECT_EQ(GSensorSampleIndex(0, ratio, 3000), 0u);
    EXPECT_EQ(GSensorSampleIndex(30000, ratio, 3000), 1500u);
    EXPECT_EQ(GSensorSampleIndex(59999, ratio, 3000), 2999u);
    EXPECT_EQ(GSensorSampleIndex(60000, ratio, 3000), std::nullopt);
    EXPECT_EQ(GSensorIndexRatio(10, 0), 0.0);
}

}  // namespace
}  // namespace orvo
