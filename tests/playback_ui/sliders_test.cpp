#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "app/window_messages.h"
#include "controls/my_slider_control.h"
#include "controls/video_slider.h"
#include "tests/playback_ui/message_recorder.h"

namespace orvo {
namespace {

using test::MessageRecorder;

// A slider of the given width reporting to a recorded window; its channel
// starts 8 pixels in and ends 8 pixels before the right edge.
template <typename Slider, int kWidth>
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider.resize(kWidth, 20);
        slider.SetMessageTarget(&window);
        window.read_value = [this] { return slider.value(); };
    }
    MessageRecorder window;
    Slider slider;
};

// The channel runs from x 8 to x 508 (500 pixels).
using VideoSliderTest = SliderTest<CVideoSlider, 516>;

TEST_F(VideoSliderTest, PressJumpsToPointAndReleaseReportsOnce) {
    ASSERT_EQ(slider.ChannelRect().left(), 8);
    ASSERT_EQ(slider.ChannelRect().right() + 1, 508);
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 1000);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(258, 10));
    EXPECT_EQ(slider.value(), 500);
    EXPECT_TRUE(slider.dragging());
    EXPECT_TRUE(window.messages.empty()) << "a press alone reports nothing";
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(258, 10));
    EXPECT_FALSE(slider.dragging());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].message, WM_SEEK_CHANGED);
    EXPECT_EQ(window.messages[0].wparam, 0);
    EXPECT_EQ(window.messages[0].slider_value, 500);
}

TEST_F(VideoSliderTest, DragReportsEveryMoveWithTheNewPosition) {
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(258, 10));
    QTest::mouseMove(&slider, QPoint(108, 10));
    QTest::mouseMove(&slider, QPoint(408, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(458, 10));
    ASSERT_EQ(window.Count(WM_SEEK_CHANGED), 3);
    EXPECT_EQ(window.messages[0].slider_value, 200);
    EXPECT_EQ(window.messages[1].slider_value, 800);
    EXPECT_EQ(window.messages[2].slider_value, 900);
}

TEST_F(VideoSliderTest, PressesOutsideTheChannelClampToTheEnds) {
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_EQ(slider.value(), 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(2, 10));
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(515, 10));
    EXPECT_EQ(slider.value(), 1000);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(515, 10));
    EXPECT_EQ(window.Count(WM_SEEK_CHANGED), 2);
}

TEST_F(VideoSliderTest, PostedPositionArrivesQueuedAndNotDuringADrag) {
    slider.PostPosition(250);
    EXPECT_EQ(slider.value(), 0) << "the move is queued, not applied by the caller";
    QApplication::processEvents();
    EXPECT_EQ(slider.value(), 250);

    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(458, 10));
    slider.PostPosition(10);
    QApplication::processEvents();
    EXPECT_EQ(slider.value(), 900) << "the engine must not move the thumb under the mouse";
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(458, 10));
}

TEST_F(VideoSliderTest, PictureShowsPlayedPartBlueAndRestGrey) {
    slider.setValue(500);
    const QImage picture = slider.grab().toImage();
    const int mid = 10;
    EXPECT_EQ(picture.pixelColor(100, mid), QColor(0x00, 0x60, 0xC8));
    EXPECT_EQ(picture.pixelColor(450, mid), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(100, 0), QColor(Qt::black));
}

TEST_F(VideoSliderTest, KeyboardMoveEmitsScrolled) {
    int scrolled = 0;
    QObject::connect(&slider, &CVideoSlider::Scrolled, [&scrolled] { ++scrolled; });
    slider.setValue(500);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_GT(slider.value(), 500);
    EXPECT_EQ(scrolled, 1);
    EXPECT_TRUE(window.messages.empty());
}

// The channel runs from x 8 to x 168 (160 pixels).
using VolumeSliderTest = SliderTest<CMySliderControl, 176>;

TEST_F(VolumeSliderTest, StartsAtSixtyOfHundred) {
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 100);
    EXPECT_EQ(slider.value(), 60);
}

TEST_F(VolumeSliderTest, PressWithoutMovingReportsOnceOnReleaseWithoutRecomputing) {
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(88, 10));
    EXPECT_EQ(slider.value(), 50);
    EXPECT_TRUE(window.messages.empty());
    // The release point is not used: the position stays where the press put it.
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(150, 10));
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].message, WM_VOLUME_CHANGED);
    EXPECT_EQ(window.messages[0].slider_value, 50);
}

TEST_F(VolumeSliderTest, DragReportsEachMove) {
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(88, 10));
    QTest::mouseMove(&slider, QPoint(168, 10));
    QTest::mouseMove(&slider, QPoint(0, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(0, 10));
    ASSERT_EQ(window.Count(WM_VOLUME_CHANGED), 3);
    EXPECT_EQ(window.messages[0].slider_value, 100);
    EXPECT_EQ(window.messages[1].slider_value, 0);
    EXPECT_EQ(window.messages[2].slider_value, 0);
}

TEST_F(VolumeSliderTest, PictureIsWhiteBarOverGreyTrack) {
    slider.setValue(50);
    const QImage picture = slider.grab().toImage();
    const int y = slider.ChannelRect().top();
    EXPECT_EQ(picture.pixelColor(30, y), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(150, y), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(30, 0), QColor(Qt::black));
}

}  // namespace
}  // namespace orvo
