#include <gtest/gtest.h>

#include <QTest>

#include "gps/png_compass_static.h"
#include "gps/speed_label_static.h"
#include "gps/status_board_static.h"

namespace orvo {
namespace {

CPngCompassStatic* MakeCompass(QWidget* parent) {
    auto* compass = new CPngCompassStatic(parent);
    for (int id = 167; id <= 174; ++id) EXPECT_TRUE(compass->AddPicture(id));
    compass->resize(48, 48);
    return compass;
}

TEST(CompassStaticTest, HeadingPicksPictureAndUnknownIsGrey) {
    QWidget parent;
    CPngCompassStatic* compass = MakeCompass(&parent);
    EXPECT_FALSE(compass->AddPicture(4242));
    EXPECT_EQ(compass->picture_count(), 8u);
    compass->SetHeading(90);
    EXPECT_EQ(compass->current_index(), 7u);  // picture 173, east
    const QImage east = compass->grab().toImage();
    compass->SetNoHeading();
    EXPECT_EQ(compass->current_index(), 0u);
    const QImage unknown = compass->grab().toImage();
    EXPECT_NE(east, unknown);
    // The needle's red end is grey when no course is known.
    bool any_red = false;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            const QColor c = unknown.pixelColor(x, y);
            if (c.alpha() > 200 && c.red() > c.green() + 60) any_red = true;
        }
    }
    EXPECT_FALSE(any_red);
}

TEST(CompassStaticTest, WithoutPicturesDrawsNothing) {
    CPngCompassStatic compass;
    compass.resize(32, 32);
    compass.SetHeading(45);
    EXPECT_EQ(compass.current_index(), 0u);
    compass.grab();  // must not fail
}

TEST(SpeedLabelTest, StartsAtZeroKmhAndRepaintsOnlyOnChange) {
    CSpeedLabelStatic label;
    EXPECT_EQ(label.speed_text(), QStringLiteral("  0"));
    EXPECT_EQ(label.unit_text(), QStringLiteral("Km/h"));
    const int before = label.repaint_requests();
    label.SetSpeed(true, 160);
    label.SetSpeed(true, 160);
    EXPECT_EQ(label.repaint_requests(), before + 1);
    EXPECT_EQ(label.speed_text(), QStringLiteral("160"));
    label.ToggleUnit();
    EXPECT_EQ(label.speed_text(), QStringLiteral("100"));
    EXPECT_EQ(label.unit_text(), QStringLiteral("MPH"));
}

TEST(SpeedLabelTest, ClickSwitchesUnitAndDoubleClickLeavesItSwitchedOnce) {
    CSpeedLabelStatic label;
    label.resize(120, 40);
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(label.metric());
    label.ToggleUnit();
    ASSERT_TRUE(label.metric());
    // Press, release, press + double click, release: three toggles.
    QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(label.metric());
    // A release outside the label does not switch.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(500, 10));
    EXPECT_FALSE(label.metric());
}

TEST(SpeedLabelTest, InvalidSpeedShowsDashes) {
    CSpeedLabelStatic label;
    label.resize(120, 40);
    label.SetSpeed(true, 88);
    const QImage valid = label.grab().toImage();
    label.SetSpeed(false, 0);
    const QImage invalid = label.grab().toImage();
    EXPECT_NE(valid, invalid);
}

TEST(StatusBoardTest, FillFollowsPercent) {
    CStatusBoardStatic board;
    board.resize(200, 30);
    board.SetFillBitmap(189);
    board.SetProgress(0);
    EXPECT_EQ(board.value_text(), QStringLiteral("0 %"));
    QImage shot = board.grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 15), QColor(0x28, 0x28, 0x28));
    board.SetProgress(100);
    shot = board.grab().toImage();
    const QColor filled = shot.pixelColor(180, 15);
    EXPECT_GT(filled.blue(), filled.red() + 50);  // the blue pattern
    board.SetProgress(50);
    shot = board.grab().toImage();
    EXPECT_GT(shot.pixelColor(20, 15).blue(), 100);
    EXPECT_EQ(shot.pixelColor(180, 15), QColor(0x28, 0x28, 0x28));
}

TEST(StatusBoardTest, MissingFillBitmapLeavesDonePartUnfilled) {
    CStatusBoardStatic board;
    board.resize(200, 30);
    board.SetFillBitmap(4242);
    board.SetProgress(100);
    board.grab();  // must not fail
}

}  // namespace
}  // namespace orvo
