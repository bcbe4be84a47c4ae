#include "export/clip_telemetry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "metadata/qor_3gp_parser.h"
#include "metadata/telemetry.h"
#include "tests/support/recording_writer.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

using namespace test_support;

const bool kZoneSet = PinTimeZone("UTC0");

// A recording's telemetry whose every record and sample is told apart by
// its index: GPS speed = index, G-sensor x = index (wrapping at 8 bits).
ClipTelemetrySource Source(size_t gps_count, unsigned gps_rate, size_t g_count,
                           uint32_t duration_ms, unsigned g_range = 8, uint16_t base = 0) {
    ClipTelemetrySource s;
    std::vector<GpsRecord> gps(gps_count);
    for (size_t i = 0; i < gps_count; ++i) gps[i].speed = static_cast<uint16_t>(base + i);
    s.gps = GpsBlock(gps);
    std::vector<GSensorRecord> g(g_count);
    for (size_t i = 0; i < g_count; ++i) {
        g[i].x = static_cast<int8_t>(i % 100);
        g[i].y = static_cast<int8_t>(-static_cast<int>(i % 100));
    }
    s.gsen = GSensorBlock(g);
    s.gpsRateWord = RateWord(static_cast<uint8_t>(gps_rate), 7, 7, 7);
    s.gRangeWord = RateWord(10, static_cast<uint8_t>(g_range), 9, 9);
    s.durationMs = duration_ms;
    return s;
}

ClipTelemetryPart Part(ClipTelemetrySource source, int64_t source_start_us, int64_t output_start_us,
                       int64_t length_us) {
    return {std::move(source), source_start_us, output_start_us, length_us};
}

std::vector<uint16_t> Speeds(const ClipTelemetry& t) {
    std::vector<uint16_t> out;
    for (const GpsRecord& r : DecodeGpsBlock(t.gps)) out.push_back(r.speed);
    return out;
}

std::vector<int> Xs(const ClipTelemetry& t) {
    std::vector<int> out;
    for (const GSensorRecord& r : DecodeGSensorBlock(t.gsen)) out.push_back(r.x);
    return out;
}

std::vector<uint16_t> Range(uint16_t first, size_t count) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < count; ++i) out.push_back(static_cast<uint16_t>(first + i));
    return out;
}

// What the viewer shows at export time t must be what it showed at the
// matching source time: record i of the export is source record
// (start + i / rate).
TEST(ClipTelemetryCut, CutInsideOneRecordingStartsAtTheActualStart) {
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(600, 10, 600, 60000), 17'000'000, 0, 19'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 19000);
    EXPECT_EQ(Speeds(t), Range(170, 190));
    ASSERT_EQ(Xs(t).size(), 190u);
    EXPECT_EQ(Xs(t).front(), 70);  // sample 170
    EXPECT_EQ(Xs(t).back(), 59);   // sample 359
    // The unused bytes of the rate words are carried.
    EXPECT_EQ(t.gpsRateWord, RateWord(10, 7, 7, 7));
    EXPECT_EQ(t.gRangeWord, RateWord(10, 8, 9, 9));
}

TEST(ClipTelemetryCut, StartBetweenRecordsTakesTheRecordOfThatInstant) {
    // A keyframe at 2.04 s: export 0 ms shows source 2040 ms (record 20),
    // export 60 ms shows source 2100 ms (record 21).
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(100, 10, 100, 10000), 2'040'000, 0, 1'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 1000);
    EXPECT_EQ(Speeds(t), Range(20, 10));
    const std::vector<int> xs = Xs(t);
    ASSERT_EQ(xs.size(), 10u);
    EXPECT_EQ(xs[0], 20);
    EXPECT_EQ(xs[9], 29);
}

TEST(ClipTelemetryCut, SpanAcrossTwoRecordsJoinsAtThePictureJoin) {
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(250, 10, 250, 25000, 8, 0), 20'000'000, 0, 5'000'000),
        Part(Source(250, 10, 250, 25000, 8, 1000), 0, 5'000'000, 3'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 8000);
    std::vector<uint16_t> expected = Range(200, 50);
    for (uint16_t v : Range(1000, 30)) expected.push_back(v);
    EXPECT_EQ(Speeds(t), expected);
    const std::vector<int> xs = Xs(t);
    ASSERT_EQ(xs.size(), 80u);
    EXPECT_EQ(xs[49], 49);  // sample 249 of the first
    EXPECT_EQ(xs[50], 0);   // sample 0 of the second
}

TEST(ClipTelemetryCut, DifferentRatesAreHeldAtTheHighest) {
    // 5 Hz then 10 Hz: the export runs at 10 Hz, each 5 Hz record twice.
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(10, 5, 20, 2000, 4, 0), 0, 0, 1'000'000),
        Part(Source(20, 10, 20, 2000, 8, 100), 0, 1'000'000, 1'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 2000);
    EXPECT_EQ(t.gpsRateWord[0], 10);
    EXPECT_EQ(Speeds(t), (std::vector<uint16_t>{0,   0,   1,   1,   2,   2,   3,   3,   4,   4,
                                                100, 101, 102, 103, 104, 105, 106, 107, 108, 109}));
    // The 4 g samples are rescaled to the 8 g range: same value in g.
    EXPECT_EQ(t.gRangeWord[1], 8);
    const std::vector<int> xs = Xs(t);
    ASSERT_EQ(xs.size(), 20u);
    EXPECT_EQ(xs[7], 4);   // 7 * 4 / 8 rounded
    EXPECT_EQ(xs[10], 0);  // the second part's own sample 0
    const std::vector<GSensorRecord> g = DecodeGSensorBlock(t.gsen);
    EXPECT_DOUBLE_EQ(GValue(g[6].x, 8), GValue(6, 4));
}

TEST(ClipTelemetryCut, SparserGSensorIsHeldAtTheDensest) {
    // 5 samples per second, then 10 per second.
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(10, 10, 5, 1000), 0, 0, 1'000'000),
        Part(Source(10, 10, 10, 1000), 0, 1'000'000, 1'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 2000);
    EXPECT_EQ(Xs(t),
              (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ClipTelemetryCut, MissingRecordsBecomeEmptyRecords) {
    // The second recording has no GPS at all, the first runs out early.
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(5, 10, 10, 1000), 0, 0, 1'000'000),
        Part(Source(0, 10, 10, 1000), 0, 1'000'000, 1'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 2000);
    const std::vector<GpsRecord> records = DecodeGpsBlock(t.gps);
    ASSERT_EQ(records.size(), 20u);
    EXPECT_EQ(records[4].speed, 4);
    for (size_t i = 5; i < 20; ++i) {
        EXPECT_EQ(records[i].flags, 0) << i;
        EXPECT_EQ(records[i].year, 0) << i;
    }
}

TEST(ClipTelemetryCut, RecordingsWithoutTelemetryGiveEmptyBlocks) {
    const std::vector<ClipTelemetryPart> parts = {Part(Source(0, 10, 0, 1000), 0, 0, 1'000'000)};
    const ClipTelemetry t = CutClipTelemetry(parts, 1000);
    EXPECT_TRUE(t.gps.empty());
    EXPECT_TRUE(t.gsen.empty());
    EXPECT_TRUE(CutClipTelemetry({}, 1000).gps.empty());
}

TEST(ClipTelemetryCut, LongSpansDoNotOverflow) {
    // Ten hours: products of microsecond times and sample counts pass 2^63.
    const uint32_t ms = 36'000'000;
    const std::vector<ClipTelemetryPart> parts = {
        Part(Source(360'000, 10, 100'000, ms), 0, 0, int64_t{ms} * 1000)};
    const ClipTelemetry t = CutClipTelemetry(parts, ms);
    const std::vector<GpsRecord> records = DecodeGpsBlock(t.gps);
    ASSERT_EQ(records.size(), 360'000u);
    EXPECT_EQ(records.back().speed, static_cast<uint16_t>(359'999));
    const std::vector<int> xs = Xs(t);
    ASSERT_EQ(xs.size(), 100'000u);
    EXPECT_EQ(xs.back(), 99);
    EXPECT_EQ(xs[50'000], 0);
}

TEST(ClipTelemetryNames, DefaultNameAndDateTextFollowTheCamera) {
    const int64_t t = MakeLocalTime(2024, 5, 18, 10, 15, 17);
    EXPECT_EQ(DefaultClipName(t), "CLIP240518_101517.MOV");
    EXPECT_EQ(ClipDateText(t), "2024-05-18 10:15:17");
    const std::string text = *ClipDateText(t);
    EXPECT_EQ(StartTimeFromDateText(
                  std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())),
              t);
}

// The boxes after the media must be read completely by the recording
// parser: both blocks found, the start time from the date text.
TEST(ClipTelemetryBoxes, TheRecordingParserReadsEveryBox) {
    ClipTelemetry t = CutClipTelemetry(
        std::vector<ClipTelemetryPart>{Part(Source(30, 10, 30, 3000), 0, 0, 3'000'000)}, 3000);
    t.dateText = ClipDateText(MakeLocalTime(2024, 5, 18, 10, 15, 17));
    for (bool with_date : {true, false}) {
        ClipTelemetry u = t;
        if (!with_date) u.dateText.reset();
        Layout l = LayOutBoxes(
            {Ftyp(), Mdat(1000),
             MakeContainer("moov", {Mvhd(1000, 3000), VideoTrak(320, 240, 12800, 38400)})});
        const uint64_t telemetry_at = l.Size();
        l.Append(ClipTelemetryBoxes(u));
        const Bytes bytes = l.ToBytes();
        MemoryByteSource source(bytes);
        ClipInfo info{};
        CQor3gpParser parser;
        parser.SetInfoTarget(&info);
        ASSERT_EQ(parser.Parse(source), 0) << with_date;
        EXPECT_EQ(info.gpsSize, 30 * kGpsRecordSize);
        EXPECT_EQ(info.gsenSize, 30 * kGSensorRecordSize);
        EXPECT_EQ(info.gpsRateWord, t.gpsRateWord);
        EXPECT_EQ(info.gRangeWord, t.gRangeWord);
        EXPECT_EQ(0, std::memcmp(bytes.data() + info.gpsOffset, t.gps.data(), t.gps.size()));
        EXPECT_GT(info.gpsOffset, telemetry_at);
        // Without a date text the (undated) records give no start either.
        EXPECT_EQ(info.startTime, with_date ? MakeLocalTime(2024, 5, 18, 10, 15, 17) : 0);
    }
}

}  // namespace
}  // namespace orvo
