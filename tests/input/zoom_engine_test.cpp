// Wheel zoom and picture pan of the main window with the real engine on a
// recording encoded by ffmpeg for the run. Needs an X server (scripts/test.sh
// runs xvfb-run).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "app/qor_dlg.h"
#include "playback/video_static.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

void Wheel(QWidget* target, QPoint local, int delta) {
    QWheelEvent event(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class ZoomEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("orvo-zoom-test-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        const fs::path clip = folder_ / "NORM180501_120000.MOV";
        const std::string command =
            "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=1280x720:rate=25 -t 20 "
            "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" +
            clip.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        QorDlgOptions options;
        options.warn_when_engine_missing = false;
        window_ = std::make_unique<CQORDlg>(nullptr, options);
        window_->setGeometry(0, 0, 1200, 800);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        ASSERT_TRUE(window_->Player().available()) << "libVLC must be installed for this test";
    }

    void TearDown() override {
        if (window_) window_->Player().Stop();
        window_.reset();
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    fs::path folder_;
    std::unique_ptr<CQORDlg> window_;
};

TEST_F(ZoomEngineTest, WheelAndDragCropThePlayingPicture) {
    CVideoStatic* video = window_->video();
    // Before any picture the wheel leaves the crop unset.
    Wheel(video, QPoint(10, 10), 120);
    EXPECT_TRUE(window_->crop().IsUnset());

    ASSERT_EQ(window_->OpenPath(QString::fromStdString(folder_.string())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window_->Player().GetTime() > 0; }, 15'000));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return window_->Player().GetVideoSize().width == 1280; }, 15'000));

    // The picture is wider than the surface, so there is room to zoom in.
    ASSERT_LT(video->width(), 1280);
    const QPoint middle(video->width() / 2, video->height() / 2);
    Wheel(video, middle, 120);
    const CropRect zoomed = window_->crop();
    EXPECT_GT(zoomed.left, 0);
    EXPECT_GT(zoomed.top, 0);
    EXPECT_LT(zoomed.right, 1280);
    EXPECT_LT(zoomed.bottom, 720);

    // Dragging left shows more of the right-hand side, up to the edge.
    Mouse(video, QEvent::MouseButtonPress, middle, Qt::LeftButton, Qt::LeftButton);
    Mouse(video, QEvent::MouseMove, middle - QPoint(4000, 0), Qt::NoButton, Qt::LeftButton);
    Mouse(video, QEvent::MouseButtonRelease, middle - QPoint(4000, 0), Qt::LeftButton,
          Qt::NoButton);
    EXPECT_EQ(window_->crop().right, 1280);
    EXPECT_EQ(window_->crop().Width(), zoomed.Width());

    for (int i = 0; i < 20; ++i) Wheel(video, middle, -120);
    EXPECT_EQ(window_->crop(), (CropRect{0, 0, 1280, 720}));
    EXPECT_TRUE(window_->Player().playing());
}

}  // namespace
}  // namespace orvo
