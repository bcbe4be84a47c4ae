#include "gsensor/gsensor_derivation.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace orvo {
namespace {

std::vector<GSensorRecord> XOnly(const std::vector<int>& xs) {
    std::vector<GSensorRecord> records;
    for (int x : xs) records.push_back({static_cast<int8_t>(x), 0, 0});
    return records;
}

std::vector<int> XOf(const std::vector<GSensorChange>& changes) {
    std::vector<int> xs;
    for (const auto& c : changes) xs.push_back(c.x);
    return xs;
}

struct DerivationRow {
    std::string name;
    std::vector<int> raw;
    std::vector<int> stored;
};

TEST(GSensorDerivationTest, StoresLargerStepInDirectionOfOneStepChange) {
    const std::vector<DerivationRow> rows = {
        {"two records", {10, 20}, {5, 10}},
        {"two-step change taken when larger", {0, 10, 30, 40}, {5, 10, 30, 30}},
        {"reversal keeps one-step change", {0, 100, 50, 60}, {50, 100, -50, 10}},
        {"single record", {42}, {0}},
        {"constant acceleration draws as zero", {64, 64, 64}, {0, 0, 0}},
        {"first half truncates toward zero", {0, -5}, {-2, -5}},
        {"falling two-step change", {40, 30, 10, 0}, {-5, -10, -30, -30}},
        // 8-bit reductions: the one-step change wraps ...
        {"one-step change wraps", {-100, 100}, {100, -56}},
        {"full-scale fall wraps to +1", {127, -128}, {-127, 1}},
        // ... and so does the two-step change that replaces it.
        {"two-step rise wraps negative", {-100, 0, 100}, {50, 100, -56}},
        {"two-step fall wraps positive", {100, 0, -100}, {-50, -100, 56}},
        {"two-step of exactly 128 wraps to -128", {-64, 0, 64}, {32, 64, -128}},
        {"wrapped one-step beats the two-step change", {0, 64, -128}, {32, 64, 64}},
    };
    for (const auto& row : rows) {
        const auto records = XOnly(row.raw);
        EXPECT_EQ(XOf(DeriveGSensorChanges(records.data(), records.size())), row.stored)
            << row.name;
    }
}

TEST(GSensorDerivationTest, AxesAreDerivedIndependently) {
    const std::vector<GSensorRecord> records = {{10, 0, 100}, {20, 10, 50}, {20, 30, 60}};
    const auto changes = DeriveGSensorChanges(records.data(), records.size());
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].x, 5);
    EXPECT_EQ(changes[0].y, 5);
    EXPECT_EQ(changes[0].z, -25);
    EXPECT_EQ(changes[1].x, 10);
    EXPECT_EQ(changes[1].y, 10);
    EXPECT_EQ(changes[1].z, -50);
    EXPECT_EQ(changes[2].x, 0);
    EXPECT_EQ(changes[2].y, 30);
    EXPECT_EQ(changes[2].z, 10);
}

TEST(GSensorDerivationTest, AppendStartsEachBlockFromItsOwnFirstRecord) {
    std::vector<GSensorChange> out;
    const auto first = XOnly({10, 20});
    const auto second = XOnly({100, 90});
    AppendGSensorChanges(first.data(), first.size(), out);
    AppendGSensorChanges(second.data(), second.size(), out);
    AppendGSensorChanges(second.data(), 0, out);
    AppendGSensorChanges(nullptr, 5, out);
    EXPECT_EQ(XOf(out), (std::vector<int>{5, 10, -5, -10}));
}

TEST(GSensorDerivationTest, ReduceTo8BitsIsTwosComplement) {
    EXPECT_EQ(ReduceTo8Bits(127), 127);
    EXPECT_EQ(ReduceTo8Bits(128), -128);
    EXPECT_EQ(ReduceTo8Bits(200), -56);
    EXPECT_EQ(ReduceTo8Bits(-129), 127);
    EXPECT_EQ(ReduceTo8Bits(-255), 1);
    EXPECT_EQ(ReduceTo8Bits(256), 0);
    EXPECT_EQ(ReduceTo8Bits(std::numeric_limits<int>::min()), 0);
}

TEST(GSensorGeometryTest, PlotInsetAndZeroLine) {
    const GraphGeometry g = ComputeGraphGeometry(1000, 140);
    EXPECT_EQ(g.left, 14);
    EXPECT_EQ(g.top, 56);
    EXPECT_EQ(g.right, 990);
    EXPECT_EQ(g.bottom, 132);
    EXPECT_EQ(g.width, 976);
    EXPECT_EQ(g.height, 76);
    EXPECT_EQ(g.zero_y, 94);
    EXPECT_EQ(ComputeGraphGeometry(100, 141).zero_y, 56 + 77 / 2);
}

TEST(GSensorGeometryTest, SpanCoversClipOrTwentySeconds) {
    EXPECT_EQ(ComputeSpanMs(1800, 1800.0 / 180000.0), 180000.0);
    EXPECT_EQ(ComputeSpanMs(3, 0.016), 187.0);  // 187.5 truncated
    EXPECT_EQ(ComputeSpanMs(0, 0.016), 20000.0);
    EXPECT_EQ(ComputeSpanMs(100, 0.0), 20000.0);
    EXPECT_EQ(ComputeSpanMs(100, -1.0), 20000.0);
    EXPECT_EQ(ComputeSpanMs(100, std::nan("")), 20000.0);
    EXPECT_EQ(ComputeSpanMs(100, std::numeric_limits<double>::infinity()), 20000.0);
    EXPECT_EQ(ComputeSpanMs(1, 1.5), 20000.0);  // 0.67 ms truncates to 0
}

TEST(GSensorGeometryTest, CursorTimeIsClampedToTheData) {
    const double spm = 0.01;  // 1800 samples over 180 s
    EXPECT_EQ(ClampCursorTime(90000, 1800, spm), 90000);
    EXPECT_EQ(ClampCursorTime(500000, 1800, spm), 180000);
    EXPECT_EQ(ClampCursorTime(-5, 1800, spm), 0);
    EXPECT_EQ(ClampCursorTime(std::nan(""), 1800, spm), 0);
    EXPECT_EQ(ClampCursorTime(1000, 0, spm), 0);  // no data: cursor stays at 0
    EXPECT_EQ(ClampCursorTime(1000, 1800, 0.0), 0);
    EXPECT_EQ(ClampCursorTime(1000, 1800, std::numeric_limits<double>::infinity()), 0);
}

TEST(GSensorGeometryTest, ColumnsAndCursorMapTimeOntoThePlot) {
    const GraphGeometry g = ComputeGraphGeometry(1000, 140);
    EXPECT_EQ(CursorX(0, g, 180000), 14);
    EXPECT_EQ(CursorX(90000, g, 180000), 14 + 488);
    EXPECT_EQ(CursorX(180000, g, 180000), 990);
    // Column 1 of a 976-pixel plot over 180 s is 184.4 ms, truncated.
    EXPECT_EQ(ColumnSampleIndex(1, 180000, 976, 0.01), 1);
    EXPECT_EQ(ColumnSampleIndex(975, 180000, 976, 0.01), 1798);
    EXPECT_EQ(ColumnSampleIndex(0, 180000, 0, 0.01), -1);
    EXPECT_EQ(SampleIndexAt(1e300, 1e300), std::numeric_limits<int64_t>::max());
}

TEST(GSensorGeometryTest, TicksEvery200MsWithLongerOnesEachSecond) {
    const GraphGeometry g = ComputeGraphGeometry(1000, 140);
    EXPECT_EQ(TickCount(20000), 100);
    EXPECT_EQ(TickCount(20100), 101);
    EXPECT_EQ(TickCount(180000), 900);
    EXPECT_EQ(TickX(0, g, 20000), 14);
    EXPECT_EQ(TickX(10, g, 20000), 14 + 97);  // 97.6 truncated
    EXPECT_EQ(TickLength(0), 6);
    EXPECT_EQ(TickLength(20), 6);
    EXPECT_EQ(TickLength(5), 4);
    EXPECT_EQ(TickLength(15), 4);
    EXPECT_EQ(TickLength(1), 2);
    EXPECT_EQ(TickLength(9), 2);
}

TEST(GSensorGeometryTest, ValuesAreScaledAndClampedToTheRange) {
    const GraphGeometry g = ComputeGraphGeometry(1000, 140);
    EXPECT_EQ(ValueY(64, 4.0, 2.0, g), g.top);      // 2 g
    EXPECT_EQ(ValueY(-64, 4.0, 2.0, g), g.bottom);  // -2 g
    EXPECT_EQ(ValueY(127, 8.0, 2.0, g), g.top);     // 7.9 g, clamped
    EXPECT_EQ(ValueY(-128, 8.0, 2.0, g), g.bottom);
    EXPECT_EQ(ValueY(0, 8.0, 2.0, g), g.zero_y);
    EXPECT_EQ(ValueY(16, 8.0, 2.0, g), 94 - 19);  // 1 g is a quarter height
    EXPECT_DOUBLE_EQ(ChangeToG(127, 8.0), 7.9375);
}

TEST(GSensorGeometryTest, GainThatTruncatesToZeroMeansEightG) {
    EXPECT_EQ(NormalizeGain(0), 8.0);
    EXPECT_EQ(NormalizeGain(0.9), 8.0);
    EXPECT_EQ(NormalizeGain(std::nan("")), 8.0);
    EXPECT_EQ(NormalizeGain(4), 4.0);
    EXPECT_EQ(NormalizeGain(2.5), 2.5);
}

TEST(GSensorGeometryTest, LegendReadsUnclampedValueAtTheCursor) {
    const auto changes = std::vector<GSensorChange>{{0, 0, 0}, {127, -64, 16}};
    // One sample per second: the cursor at 1.9 s is on sample 1.
    EXPECT_DOUBLE_EQ(LegendValueAt(changes, 1900, 0.001, 8.0, 0), 7.9375);
    EXPECT_DOUBLE_EQ(LegendValueAt(changes, 1900, 0.001, 8.0, 1), -4.0);
    EXPECT_DOUBLE_EQ(LegendValueAt(changes, 1900, 0.001, 8.0, 2), 1.0);
    EXPECT_DOUBLE_EQ(LegendValueAt(changes, 999.9, 0.001, 8.0, 0), 0.0);
    EXPECT_DOUBLE_EQ(LegendValueAt(changes, 2000, 0.001, 8.0, 0), 0.0);  // beyond the data
    EXPECT_DOUBLE_EQ(LegendValueAt({}, 0, 0.001, 8.0, 0), 0.0);
}

TEST(GSensorReadoutTest, SpeedAndPositionsFollowUnitAndLanguage) {
    EXPECT_EQ(ShownSpeed(100, true), 100u);
    EXPECT_EQ(ShownSpeed(100, false), 62u);
    EXPECT_EQ(ShownSpeed(160, false), 100u);

    const auto english99 = ComputeSpeedReadoutLayout(false, 99);
    EXPECT_EQ(english99.digits_x, 54);
    EXPECT_EQ(english99.unit_x, 104);
    EXPECT_EQ(english99.note_x, 164);
    EXPECT_EQ(ComputeSpeedReadoutLayout(false, 100).unit_x, 118);

    const auto japanese = ComputeSpeedReadoutLayout(true, ShownSpeed(160, false));
    EXPECT_EQ(japanese.digits_x, 34);
    EXPECT_EQ(japanese.unit_x, 34 + 64);
    EXPECT_EQ(japanese.note_x, 144);
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

TEST(GSensorLegendTest, WideLabelsShrinkToTheirRoomButStayReadable) {
    EXPECT_EQ(LegendLabelPixelSize(16, 28, 30), 16) << "fits: unchanged";
    EXPECT_EQ(LegendLabelPixelSize(16, 30, 30), 16);
    EXPECT_EQ(LegendLabelPixelSize(16, 40, 30), 12);
    EXPECT_EQ(LegendLabelPixelSize(16, 200, 30), 9) << "never unreadably small";
    EXPECT_EQ(LegendLabelPixelSize(16, 0, 30), 16);
}

}  // namespace
}  // namespace orvo
