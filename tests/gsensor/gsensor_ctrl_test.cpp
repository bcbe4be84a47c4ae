#include "gsensor/gsensor_ctrl.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include "app/qor_settings.h"
#include "app/ui_strings.h"

namespace orvo {
namespace {

constexpr QRgb kX = qRgb(0x60, 0x60, 0xFF);
constexpr QRgb kY = qRgb(0x60, 0xFF, 0x60);
constexpr QRgb kZ = qRgb(0xFF, 0x60, 0xC0);
constexpr QRgb kCursor = qRgb(0x00, 0x00, 0xFF);
constexpr QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
constexpr QRgb kGrey = qRgb(0x66, 0x66, 0x66);
constexpr int kEnglish = 0;
constexpr int kJapanese = 1;

bool Is(const QImage& image, int x, int y, QRgb colour) {
    return (image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu);
}

struct Extent {
    int count = 0;
    int min_x = 1 << 30, max_x = -1, min_y = 1 << 30, max_y = -1;
};

template <typename Pred>
Extent Find(const QImage& image, QRect area, Pred pred) {
    Extent e;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!pred(image.pixel(x, y))) continue;
            ++e.count;
            e.min_x = std::min(e.min_x, x);
            e.max_x = std::max(e.max_x, x);
            e.min_y = std::min(e.min_y, y);
            e.max_y = std::max(e.max_y, y);
        }
    }
    return e;
}

// Below the legend, whose labels share the curve colours.
Extent FindColour(const QImage& image, QRgb colour) {
    return Find(image, QRect(0, 48, image.width(), image.height() - 48),
                [colour](QRgb p) { return (p & 0xFFFFFFu) == (colour & 0xFFFFFFu); });
}

// The speed digits and unit: blue gradient, also where anti-aliased.
bool IsGradient(QRgb p) {
    return qBlue(p) > 80 && qBlue(p) > qRed(p) + 60;
}
// Caption and note text: grey, anti-aliased on black.
bool IsTextGrey(QRgb p) {
    return qRed(p) > 0x30 && std::abs(qRed(p) - qGreen(p)) < 8 &&
           std::abs(qGreen(p) - qBlue(p)) < 8;
}

// Raw records whose derived changes alternate +a, -a after a first a / 2,
// one amplitude per axis.
std::vector<GSensorRecord> Zigzag(size_t count, int ax, int ay, int az) {
    std::vector<GSensorRecord> records(count);
    for (size_t i = 0; i < count; ++i) {
        const bool up = i % 2 == 1;
        records[i] = {static_cast<int8_t>(up ? ax : 0), static_cast<int8_t>(up ? ay : 0),
                      static_cast<int8_t>(up ? az : 0)};
    }
    return records;
}

class GSensorCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        CQorSettings::Instance().SetLanguage(kEnglish);
        ctrl_.resize(1000, 140);
    }

    // As the catalogue fills the graph for a clip of duration_ms.
    void Load(const std::vector<GSensorRecord>& records, double gain, double duration_ms) {
        ctrl_.ClearSamples();
        ctrl_.SetGain(gain, 2.0);
        ctrl_.ClearSamples();
        ctrl_.SetSamples(records.data(), records.size());
        ctrl_.SetSamplesPerMs(static_cast<double>(records.size()) / duration_ms);
    }

    QImage Render() { return ctrl_.RenderFrame().copy(); }

    CGSensorCtrl ctrl_;
};

TEST_F(GSensorCtrlTest, EmptyGraphShowsAxesTwentySecondTicksAndCursorAtZero) {
    EXPECT_EQ(ctrl_.objectName(), QStringLiteral("1003"));
    const QImage image = Render();
    ASSERT_EQ(image.size(), QSize(1000, 140));
    EXPECT_TRUE(Is(image, 0, 0, qRgb(0, 0, 0)));
    EXPECT_TRUE(Is(image, 500, 94, kWhite));
    EXPECT_TRUE(Is(image, 989, 94, kWhite));
    EXPECT_FALSE(Is(image, 990, 94, kWhite));
    EXPECT_TRUE(Is(image, 14, 120, kGrey) || Is(image, 14, 120, kCursor));
    // Tick 10 of 100 (20 s): x = 14 + 97, 6 long above the top, the zero
    // line and the bottom.
    for (int base : {56, 94, 132}) {
        EXPECT_TRUE(Is(image, 111, base - 6, kGrey)) << base;
        EXPECT_TRUE(Is(image, 111, base - 1, kGrey)) << base;
        EXPECT_FALSE(Is(image, 111, base - 7, kGrey)) << base;
    }
    // Tick 5: 4 long; tick 1: 2 long.
    EXPECT_TRUE(Is(image, 14 + 48, 56 - 4, kGrey));
    EXPECT_FALSE(Is(image, 14 + 48, 56 - 5, kGrey));
    EXPECT_TRUE(Is(image, 14 + 9, 56 - 2, kGrey));
    EXPECT_FALSE(Is(image, 14 + 9, 56 - 3, kGrey));
    // The cursor at 0 ms; the scale labels' black boxes are drawn over it.
    const Extent cursor = FindColour(image, kCursor);
    EXPECT_EQ(cursor.min_x, 13);
    EXPECT_EQ(cursor.max_x, 14);
    EXPECT_TRUE(Is(image, 14, 100, kCursor));
    EXPECT_FALSE(Is(image, 13, 52, kCursor));
    EXPECT_EQ(FindColour(image, kX).count, 0);
    EXPECT_EQ(ctrl_.legend_text(0), QStringLiteral(":  0.0000 G "));
}

TEST_F(GSensorCtrlTest, CursorColumnFollowsTimeAndIsClamped) {
    Load(std::vector<GSensorRecord>(1800), 8.0, 180000.0);
    ctrl_.SetCursorTime(90000);
    QImage image = Render();
    // x = 14 + 90000 * 976 / 180000 = 502; the 2-pixel pen covers 501..502.
    EXPECT_TRUE(Is(image, 501, 110, kCursor));
    EXPECT_TRUE(Is(image, 502, 110, kCursor));
    EXPECT_FALSE(Is(image, 500, 110, kCursor));
    EXPECT_FALSE(Is(image, 503, 110, kCursor));
    EXPECT_TRUE(Is(image, 502, 52, kCursor));  // 4 above the plot to its bottom
    EXPECT_FALSE(Is(image, 502, 51, kCursor));
    EXPECT_TRUE(Is(image, 502, 131, kCursor));
    EXPECT_FALSE(Is(image, 502, 132, kCursor));

    ctrl_.SetCursorTime(1e9);
    EXPECT_EQ(ctrl_.current_time(), 180000.0);
    image = Render();
    EXPECT_TRUE(Is(image, 990, 110, kCursor));
    EXPECT_FALSE(Is(image, 502, 110, kCursor));  // the old cursor is gone

    ctrl_.SetCursorTime(-20);
    EXPECT_EQ(ctrl_.current_time(), 0.0);
}

TEST_F(GSensorCtrlTest, FullScaleValueReachesTheTopEdge) {
    // Stored 32, 64, -64, 64, ... with gain 4: 2 g is the top, -2 g the bottom.
    Load(Zigzag(100, 64, 0, 0), 4.0, 10000.0);
    const Extent x = FindColour(Render(), kX);
    ASSERT_GT(x.count, 0);
    EXPECT_EQ(x.min_y, 56);
    EXPECT_EQ(x.max_y, 132);
}

TEST_F(GSensorCtrlTest, OverRangeValueIsClampedWhileLegendReadsIt) {
    Load(Zigzag(100, 127, 0, 0), 8.0, 10000.0);
    ctrl_.SetCursorTime(150);  // sample 1: stored 127
    const Extent x = FindColour(Render(), kX);
    ASSERT_GT(x.count, 0);
    EXPECT_EQ(x.min_y, 56);
    EXPECT_EQ(x.max_y, 132);
    EXPECT_EQ(ctrl_.legend_text(0), QStringLiteral(":  7.9375 G "));
    EXPECT_EQ(ctrl_.legend_text(1), QStringLiteral(":  0.0000 G "));
    ctrl_.SetCursorTime(250);  // sample 2: stored -127, one space less
    Render();
    EXPECT_EQ(ctrl_.legend_text(0), QStringLiteral(": -7.9375 G "));
}

TEST_F(GSensorCtrlTest, LegendClickHidesAndRestoresOneAxis) {
    ctrl_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ctrl_));
    Load(Zigzag(100, 64, 32, 16), 4.0, 10000.0);
    QImage image = Render();
    EXPECT_GT(FindColour(image, kX).count, 0);
    EXPECT_GT(FindColour(image, kY).count, 0);
    EXPECT_GT(FindColour(image, kZ).count, 0);
    // Entries left to right: F/B, L/R, U/D.
    EXPECT_LT(ctrl_.legend_rect(2).left(), ctrl_.legend_rect(0).left());
    EXPECT_LT(ctrl_.legend_rect(0).left(), ctrl_.legend_rect(1).left());
    EXPECT_EQ(ctrl_.legend_rect(2).left(), 1000 - 342 + 1);

    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, ctrl_.legend_rect(0).center());
    EXPECT_FALSE(ctrl_.IsAxisVisible(0));
    image = Render();
    EXPECT_EQ(FindColour(image, kX).count, 0);
    EXPECT_GT(FindColour(image, kY).count, 0);
    EXPECT_GT(FindColour(image, kZ).count, 0);

    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, ctrl_.legend_rect(0).center());
    EXPECT_TRUE(ctrl_.IsAxisVisible(0));
    EXPECT_GT(FindColour(Render(), kX).count, 0);

    // A click beside the legend toggles nothing.
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, QPoint(500, 100));
    EXPECT_TRUE(ctrl_.IsAxisVisible(0) && ctrl_.IsAxisVisible(1) && ctrl_.IsAxisVisible(2));
}

TEST_F(GSensorCtrlTest, StopHidesCurvesButKeepsAxesAndCursor) {
    Load(Zigzag(100, 64, 32, 16), 4.0, 10000.0);
    ctrl_.SetCursorTime(5000);
    EXPECT_GT(FindColour(Render(), kX).count, 0);

    ctrl_.SetCursorTime(0);  // as the STOP button does
    ctrl_.SetCurvesHidden(true);
    QImage image = Render();
    EXPECT_EQ(FindColour(image, kX).count, 0);
    EXPECT_EQ(FindColour(image, kY).count, 0);
    EXPECT_EQ(FindColour(image, kZ).count, 0);
    EXPECT_TRUE(Is(image, 500, 94, kWhite));
    EXPECT_TRUE(Is(image, 14, 100, kCursor));

    ctrl_.SetCurvesHidden(false);  // the next time update
    EXPECT_GT(FindColour(Render(), kX).count, 0);
}

TEST_F(GSensorCtrlTest, ClearingAndResizingRedrawTheCachedCurves) {
    Load(Zigzag(100, 64, 0, 0), 4.0, 10000.0);
    EXPECT_GT(FindColour(Render(), kX).count, 0);
    ctrl_.ClearSamples();
    EXPECT_EQ(FindColour(Render(), kX).count, 0);

    Load(Zigzag(100, 64, 0, 0), 4.0, 10000.0);
    ctrl_.resize(800, 200);
    const QImage image = Render();
    ASSERT_EQ(image.size(), QSize(800, 200));
    const int zero_y = 56 + (192 - 56) / 2;
    EXPECT_TRUE(Is(image, 789, zero_y, kWhite));
    EXPECT_FALSE(Is(image, 790, zero_y, kWhite));
    EXPECT_EQ(FindColour(image, kX).min_y, 56);
    EXPECT_EQ(FindColour(image, kX).max_y, 192);
}

TEST_F(GSensorCtrlTest, PaintCopiesTheComposedFrame) {
    Load(Zigzag(100, 64, 32, 16), 4.0, 10000.0);
    ctrl_.SetSpeedReadout(true, 88);
    ctrl_.SetCursorTime(4000);
    const QImage painted = ctrl_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, Render());
}

struct ReadoutCase {
    int language;
    int digits_x;
    int note_x;
};

TEST_F(GSensorCtrlTest, SpeedReadoutPositionsDependOnLanguage) {
    for (const ReadoutCase& c : {ReadoutCase{kEnglish, 54, 164}, ReadoutCase{kJapanese, 34, 144}}) {
        CQorSettings::Instance().SetLanguage(c.language);
        ctrl_.SetSpeedReadout(true, 100);
        const QImage image = Render();
        const Extent digits = Find(image, QRect(0, 8, c.digits_x + 60, 28), IsGradient);
        ASSERT_GT(digits.count, 0) << c.language;
        EXPECT_GE(digits.min_x, c.digits_x) << c.language;
        EXPECT_LE(digits.min_x, c.digits_x + 6) << c.language;
        EXPECT_GT(digits.max_y - digits.min_y, 15) << c.language;
        // The note starts at e; nothing grey in the gap before it.
        const Extent note = Find(image, QRect(c.note_x - 8, 26, 400, 16), IsTextGrey);
        ASSERT_GT(note.count, 0) << c.language;
        EXPECT_GE(note.min_x, c.note_x) << c.language;
        EXPECT_LE(note.min_x, c.note_x + 4) << c.language;
        // 100 puts the unit at a + 64; its box reaches to e.
        EXPECT_EQ(ctrl_.speed_box(), QRect(QPoint(c.digits_x + 64, 22), QPoint(c.note_x - 1, 35)))
            << c.language;
        ctrl_.SetSpeedReadout(true, 99);
        Render();
        EXPECT_EQ(ctrl_.speed_box().left(), c.digits_x + 50) << c.language;
    }
}

TEST_F(GSensorCtrlTest, UnknownSpeedShowsDashes) {
    ctrl_.SetSpeedReadout(false, 0);
    EXPECT_FALSE(ctrl_.speed_valid());
    const QImage image = Render();
    const Extent dashes = Find(image, QRect(0, 8, 100, 28), IsGradient);
    ASSERT_GT(dashes.count, 0);
    EXPECT_GE(dashes.min_x, 54 + 8);
    EXPECT_LT(dashes.max_y - dashes.min_y, 6);  // a bar, not digits
}

TEST_F(GSensorCtrlTest, DoubleClickOnSpeedBoxSwitchesToMph) {
    ctrl_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ctrl_));
    ctrl_.SetSpeedReadout(true, 160);
    EXPECT_EQ(ctrl_.speed_text(), QStringLiteral("160"));
    EXPECT_EQ(ctrl_.unit_text(), QStringLiteral("Km/h"));
    Render();
    QTest::mouseDClick(&ctrl_, Qt::LeftButton, {}, ctrl_.speed_box().center());
    EXPECT_FALSE(ctrl_.metric());
    EXPECT_EQ(ctrl_.speed_text(), QStringLiteral("100"));
    EXPECT_EQ(ctrl_.unit_text(), QStringLiteral("MPH"));
    Render();
    EXPECT_EQ(ctrl_.speed_box().left(), 54 + 64);

    ctrl_.SetSpeedReadout(true, 50);
    EXPECT_EQ(ctrl_.speed_text(), QStringLiteral(" 31"));
    // Outside the box nothing changes.
    QTest::mouseDClick(&ctrl_, Qt::LeftButton, {}, QPoint(600, 100));
    EXPECT_FALSE(ctrl_.metric());
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

TEST(GSensorLegendLabelTest, LabelsEndBeforeTheirColonsInBothLanguages) {
    for (int language : {0, 1}) {
        CQorSettings::Instance().SetLanguage(language);
        CGSensorCtrl ctrl;
        ctrl.resize(1000, 140);
        ctrl.RenderFrame();
        for (int axis = 0; axis < 3; ++axis) {
            const QString label = QString::fromStdString(LoadUiString(147 + axis));
            const QRect entry = ctrl.legend_rect(axis);
            const int width = QFontMetrics(ctrl.legend_label_font(axis)).horizontalAdvance(label);
            // The value's colon is drawn 33 pixels right of the entry's left edge - 1.
            EXPECT_LE(entry.left() + width, entry.left() - 1 + 33 - 2)
                << "language " << language << " axis " << axis;
            EXPECT_GE(ctrl.legend_label_font(axis).pixelSize(), 9);
        }
    }
    CQorSettings::Instance().SetLanguage(0);
}

}  // namespace
}  // namespace orvo
