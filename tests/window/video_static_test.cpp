#include "playback/video_static.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "app/window_message_event.h"
#include "app/window_messages.h"

namespace orvo {
namespace {

// Records the private messages sent to it.
class MessageTarget : public QObject {
public:
    int toggles = 0;
    bool event(QEvent* e) override {
        if (static_cast<unsigned>(e->type()) == WM_TOGGLE_FULLSCREEN) {
            ++toggles;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(VideoStaticTest, ScanCountIsPaintedOnlyWhileShown) {
    CVideoStatic video;
    video.resize(320, 200);
    const QImage idle = video.grab().toImage();
    EXPECT_EQ(idle.pixelColor(160, 100), QColor(0x28, 0x28, 0x28));
    video.SetCountShown(true);
    IScanCounterView& counter = video;
    counter.SetScanCount(0);
    const QImage zero = video.grab().toImage();
    counter.SetScanCount(2);
    const QImage two = video.grab().toImage();
    EXPECT_EQ(video.count(), 2);
    EXPECT_NE(zero, idle);
    EXPECT_NE(zero, two);
    video.SetCountShown(false);
    EXPECT_EQ(video.grab().toImage(), idle);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, e);
    }
};

TEST(VideoStaticTest, AFastScanRepaintsTheCountAtAPaceNotPerFile) {
    CVideoStatic video;
    video.resize(640, 400);
    video.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&video));
    video.SetCountShown(true);
    PaintCounter counter;
    video.installEventFilter(&counter);
    QElapsedTimer elapsed;
    elapsed.start();
    for (int visited = 0; visited < 300; ++visited) video.SetScanCount(visited);
    const int allowed = 2 + static_cast<int>(elapsed.elapsed() / CVideoStatic::kCountPaintMs);
    EXPECT_GE(counter.paints, 1);  // the first count is on screen at once
    EXPECT_LE(counter.paints, allowed);
    EXPECT_EQ(video.count(), 299);
}

TEST(VideoStaticTest, DoubleClicksOnSurfaceAndFrameToggleFullScreen) {
    MessageTarget target;
    CVideoStatic video;
    CVideoStaticBg frame;
    video.SetMessageTarget(&target);
    frame.SetMessageTarget(&target);
    video.resize(100, 100);
    frame.resize(100, 100);
    QTest::mouseDClick(&video, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(&frame, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(target.toggles, 2);
    EXPECT_EQ(frame.grab().toImage().pixelColor(50, 50), QColor(Qt::black));
}

TEST(VideoStaticTest, LeftButtonPansAndOtherButtonsDoNot) {
    CVideoStatic video;
    video.resize(100, 100);
    QSignalSpy begin(&video, &CVideoStatic::PanBegin);
    QSignalSpy end(&video, &CVideoStatic::PanEnd);
    QTest::mousePress(&video, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&video, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(begin.count(), 0);
    QTest::mousePress(&video, Qt::LeftButton, {}, QPoint(7, 9));
    QTest::mouseRelease(&video, Qt::LeftButton, {}, QPoint(8, 9));
    ASSERT_EQ(begin.count(), 1);
    EXPECT_EQ(begin.at(0).at(0).toPoint(), QPoint(7, 9));
    EXPECT_EQ(end.count(), 1);
}

}  // namespace
}  // namespace orvo
