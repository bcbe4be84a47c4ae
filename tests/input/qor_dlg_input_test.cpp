#include "app/qor_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "app/control_ids.h"
#include "app/qor_settings.h"
#include "controls/gdip_button.h"
#include "gps/speed_label_static.h"
#include "playback/video_static.h"

namespace orvo {
namespace {

// The window with a picture size of its own instead of the engine's.
class TestWindow : public CQORDlg {
public:
    explicit TestWindow(QorDlgOptions options) : CQORDlg(nullptr, std::move(options)) {}
    VideoSize video_size;

protected:
    VideoSize CurrentVideoSize() const override { return video_size; }
};

QorDlgOptions QuietOptions() {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    return options;
}

void Mouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Drag(QWidget* target, QPoint from, QPoint to) {
    Mouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(target, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(target, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// A wheel turn sent to `target`; unhandled, it travels up to the window.
void Wheel(QWidget* target, QPoint local, int delta) {
    QWheelEvent event(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

QPoint Centre(const LayoutRect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        CQorSettings::Instance().SetLanguage(0);
        window_.setGeometry(40, 30, 1200, 800);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    TestWindow window_{QuietOptions()};
};

TEST_F(InputTest, DraggingAFreeSpotMovesTheWindow) {
    const QPoint start = window_.pos();
    Drag(&window_, QPoint(400, 20), QPoint(450, 60));
    EXPECT_EQ(window_.pos(), start + QPoint(50, 40));
    EXPECT_EQ(window_.size(), QSize(1200, 800));
}

TEST_F(InputTest, WorkAreaModeDoesNotMoveTheWindow) {
    window_.ToggleWorkArea();
    const QPoint start = window_.pos();
    Drag(&window_, QPoint(400, 20), QPoint(450, 60));
    EXPECT_EQ(window_.pos(), start);
}

TEST_F(InputTest, GripResizesButNeverBelowTheSmallestWindow) {
    const QPoint start = window_.pos();
    Mouse(&window_, QEvent::MouseButtonPress, QPoint(1195, 795), Qt::LeftButton, Qt::LeftButton);
    Mouse(&window_, QEvent::MouseMove, QPoint(1300, 900), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window_.size(), QSize(1300, 900));
    Mouse(&window_, QEvent::MouseMove, QPoint(900, 600), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window_.size(), QSize(1000, 680));
    Mouse(&window_, QEvent::MouseButtonRelease, QPoint(1100, 500), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window_.size(), QSize(1100, 680));
    EXPECT_EQ(window_.pos(), start);  // the grip does not move the window too
    // Once released, moves no longer resize.
    Mouse(&window_, QEvent::MouseMove, QPoint(1050, 700), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.size(), QSize(1100, 680));
}

TEST_F(InputTest, PaneSplitterLeavesTheLeftPaneAtLeast760Wide) {
    const LayoutRect splitter = window_.layout().pane_splitter;
    ASSERT_GT(splitter.Width(), 0);
    Drag(&window_, Centre(splitter), QPoint(700, 400));
    EXPECT_EQ(window_.layout().right_pane_width, 440);
    EXPECT_EQ(window_.Control(kIdcFileList)->geometry().width(), 440);
    Drag(&window_, Centre(window_.layout().pane_splitter), QPoint(900, 400));
    EXPECT_EQ(window_.layout().right_pane_width, 270);
}

TEST_F(InputTest, MapSplitterDragToTheTopLeavesA20PixelMap) {
    const MainLayout& layout = window_.layout();
    // The 8-pixel gap between the map view and the file list.
    const QPoint gap((layout.map_view.left + layout.map_view.right) / 2,
                     (layout.map_view.bottom + layout.file_list.top) / 2);
    Drag(&window_, gap, QPoint(gap.x(), 50));
    EXPECT_EQ(window_.layout().map_view.Height(), 20);
    EXPECT_EQ(window_.layout().file_list.top, 64 + 20 + 8);
}

TEST_F(InputTest, CursorShowsWhatAPressWouldGrab) {
    Mouse(&window_, QEvent::MouseMove, Centre(window_.layout().pane_splitter), Qt::NoButton,
          Qt::NoButton);
    EXPECT_EQ(window_.cursor().shape(), Qt::SizeHorCursor);
    Mouse(&window_, QEvent::MouseMove, QPoint(1195, 795), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.cursor().shape(), Qt::SizeFDiagCursor);
    Mouse(&window_, QEvent::MouseMove, QPoint(400, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(InputTest, DoubleClickTogglesWorkAreaOrTheSpeedUnit) {
    Mouse(&window_, QEvent::MouseButtonDblClick, QPoint(400, 20), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(window_.work_area());
    Mouse(&window_, QEvent::MouseButtonDblClick, QPoint(400, 20), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(window_.work_area());

    auto* speed = qobject_cast<CSpeedLabelStatic*>(window_.Control(kIdcSpeedLabel));
    ASSERT_NE(speed, nullptr);
    const bool metric = speed->metric();
    Mouse(&window_, QEvent::MouseButtonDblClick, speed->geometry().center(), Qt::LeftButton,
          Qt::LeftButton);
    EXPECT_NE(speed->metric(), metric);
    EXPECT_FALSE(window_.work_area());
}

TEST_F(InputTest, EscapeNeverClosesTheWindow) {
    CGdipButton* play = window_.Button(kIdcPlay);
    play->setFocus();
    QTest::keyClick(play, Qt::Key_Escape);
    QTest::keyClick(&window_, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window_.isVisible());
}

TEST_F(InputTest, WheelOverThePictureZoomsAndOverTheListDoesNot) {
    window_.video_size = VideoSize{1920, 1080};
    CVideoStatic* video = window_.video();
    ASSERT_GT(video->width(), 100);

    // The window zooms only for points on the surface, edges included.
    const QRect file_list = window_.Control(kIdcFileList)->geometry();
    Wheel(&window_, file_list.center(), 120);
    Wheel(&window_, QPoint(5, 5), 120);
    EXPECT_TRUE(window_.crop().IsUnset());
    const QRect surface = video->geometry();
    Wheel(&window_, QPoint(surface.left() + surface.width() + 1, surface.top()), 120);
    EXPECT_TRUE(window_.crop().IsUnset());
    Wheel(&window_, QPoint(surface.left() + surface.width(), surface.top()), 120);
    EXPECT_FALSE(window_.crop().IsUnset());
    Wheel(video, QPoint(10, 10), -120);
    EXPECT_EQ(window_.crop(), (CropRect{0, 0, 1920, 1080}));
    // Sideways scrolling does not zoom.
    QWheelEvent sideways(QPointF(10, 10), QPointF(video->mapToGlobal(QPoint(10, 10))), QPoint(),
                         QPoint(120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(video, &sideways);
    EXPECT_EQ(window_.crop(), (CropRect{0, 0, 1920, 1080}));

    Wheel(video, QPoint(video->width() / 2, video->height() / 2), 120);
    const CropRect once = window_.crop();
    EXPECT_FALSE(once.IsUnset());
    EXPECT_LT(once.Width(), 1920);
    EXPECT_GT(once.left, 0);

    // Zooming in ends at one frame pixel per surface pixel.
    for (int i = 0; i < 40; ++i) Wheel(video, QPoint(10, 10), 120);
    EXPECT_EQ(window_.crop().Width(), video->width());
    // Zooming out ends at the whole frame.
    for (int i = 0; i < 40; ++i) Wheel(video, QPoint(10, 10), -120);
    EXPECT_EQ(window_.crop(), (CropRect{0, 0, 1920, 1080}));
}

TEST_F(InputTest, WheelWithoutAPictureLeavesTheCropUnset) {
    CVideoStatic* video = window_.video();
    Wheel(video, QPoint(10, 10), 120);
    EXPECT_TRUE(window_.crop().IsUnset());
}

TEST_F(InputTest, DraggingThePicturePansItWithinTheFrame) {
    window_.video_size = VideoSize{1920, 1080};
    CVideoStatic* video = window_.video();
    const QPoint middle(video->width() / 2, video->height() / 2);
    Wheel(video, middle, 120);
    Wheel(video, middle, 120);
    const CropRect zoomed = window_.crop();

    Mouse(video, QEvent::MouseButtonPress, middle, Qt::LeftButton, Qt::LeftButton);
    Mouse(video, QEvent::MouseMove, middle + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_LT(window_.crop().left, zoomed.left);  // the picture follows the mouse
    EXPECT_EQ(window_.crop().Width(), zoomed.Width());
    Mouse(video, QEvent::MouseMove, middle + QPoint(5000, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window_.crop().left, 0);
    Mouse(video, QEvent::MouseButtonRelease, middle + QPoint(5000, 0), Qt::LeftButton,
          Qt::NoButton);
    const CropRect after = window_.crop();
    // Moves without the button no longer pan.
    Mouse(video, QEvent::MouseMove, middle, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.crop(), after);
}

}  // namespace
}  // namespace orvo
