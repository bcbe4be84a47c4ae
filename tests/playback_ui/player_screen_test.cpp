// What the X server shows of the main window around stops and full screen,
// with the real engine drawing into its native window. Reads the screen, so
// it runs alone under the X server scripts/test.sh starts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "controls/video_slider.h"
#include "library/file_list_ctrl.h"
#include "playback/early_surface.h"
#include "playback/engine_head_start.h"
#include "playback/video_static.h"
#include "tests/support/engine_window_fixture.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

// The surface's own colour where no picture covers it.
constexpr QRgb kSurface = 0xFF282828;

// A bright test pattern (nothing of it is the surface's dark grey).
void Encode(const fs::path& out, double seconds) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i smptebars=size=320x240:rate=25 -t " +
        std::to_string(seconds) + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" +
        out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

fs::path* g_card = nullptr;

class PlayerScreenTest : public test_support::EngineWindowFixture {
protected:
    static void SetUpTestSuite() {
        if (g_card != nullptr) return;
        g_card = new fs::path(fs::temp_directory_path() /
                              ("orvo-screen-test-" + std::to_string(::getpid())));
        fs::create_directories(*g_card);
        Encode(*g_card / "NORM180501_120000.MOV", 8.0);
        Encode(*g_card / "NORM180501_120008.MOV", 8.0);
    }

    static void TearDownTestSuite() {
        std::error_code error;
        if (g_card != nullptr) fs::remove_all(*g_card, error);
        delete g_card;
        g_card = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(g_card, nullptr);
        geometry = QRect(20, 10, 1000, 680);
        EngineWindowFixture::SetUp();
    }

    // The window as the X server shows it, the engine's picture included.
    QImage Screen() {
        QApplication::processEvents();
        const QRect area = window->frameGeometry();
        return window->screen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // The video surface in the coordinates of Screen().
    QRect VideoArea() const {
        QWidget* video = window->Control(kIdcVideo);
        const QPoint origin = video->mapToGlobal(QPoint(0, 0)) - window->frameGeometry().topLeft();
        return QRect(origin, video->size());
    }

    // Pixels of the video surface that are not its own colour.
    int PictureLeft() {
        const QImage shot = Screen();
        const QRect area = VideoArea().intersected(shot.rect());
        int left = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixel(x, y) != kSurface) ++left;
        return left;
    }

    void PlayCard() {
        ASSERT_EQ(window->OpenPath(QString::fromStdString(g_card->string())), 1);
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 1500; }, 15'000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return PictureLeft() > 1000; }, 5000))
            << "the engine shows the picture on the screen";
    }

    // Reports the engine posted just before a stop, still in the queue when
    // the stop comes.
    void QueueLateReports() {
        window->PostPlayerMessage(WM_PLAYER_STATE, kPlayerStatePlaying);
        window->PostPlayerMessage(WM_PLAYER_TIME, 3000);
        window->MoveSeekSlider(375);
    }

    // After a stop: PLAY, slider and frame time all say "nothing", and the
    // surface has no picture on it.
    void ExpectStoppedViews() {
        QTest::qWait(300);
        EXPECT_FALSE(window->Button(kIdcPlay)->toggled()) << "PLAY shows the stopped state";
        EXPECT_EQ(window->seek_slider()->value(), 0);
        EXPECT_TRUE(window->frame_time_label()->text().isEmpty())
            << window->frame_time_label()->text().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([this] { return PictureLeft() == 0; }, 3000))
            << PictureLeft() << " pixels of the old picture stay";
    }
};

// Of the controls only the status board has a window of its own besides
// the video surface, as only it lies over the picture; shown, it covers it.
TEST_F(PlayerScreenTest, StatusBoardCoversThePictureAndOtherControlsHaveNoWindows) {
    PlayCard();
    EXPECT_EQ(window->Control(kIdcPlay)->internalWinId(), 0u);
    EXPECT_EQ(window->Control(kIdcFileList)->internalWinId(), 0u);
    QWidget* board = window->Control(kIdcStatusBoard);
    ICopyProgressView& progress = *window;
    progress.ShowProgress(true);
    progress.SetProgress(50);
    const QRect on_video = board->geometry().intersected(window->Control(kIdcVideo)->geometry());
    ASSERT_FALSE(on_video.isEmpty());
    const QImage drawn = board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = board->mapToGlobal(QPoint(0, 0)) - window->frameGeometry().topLeft();
    // Every pixel of the board's strip over the video, as the board draws it.
    const auto differing = [&] {
        const QImage shot = Screen();
        int count = 0;
        for (int y = 0; y < on_video.height(); ++y)
            for (int x = 0; x < on_video.width(); ++x) {
                const QPoint local =
                    board->mapFrom(window.get(), on_video.topLeft()) + QPoint(x, y);
                if (shot.pixel(origin + local) != drawn.pixel(local)) ++count;
            }
        return count;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return differing() == 0; }, 3000))
        << differing() << " pixels of the board do not show";
    progress.ShowProgress(false);
}

TEST_F(PlayerScreenTest, StopClearsThePictureAndLateReportsDoNotBringItBack) {
    PlayCard();
    QueueLateReports();
    window->Button(kIdcStop)->click();
    ExpectStoppedViews();
}

TEST_F(PlayerScreenTest, OpenThenCancelAndAColumnSortLeaveNothingOnScreen) {
    PlayCard();
    // Cancels the open dialog once it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [this, &closer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        closer.stop();
        QueueLateReports();
        modal->close();
    });
    closer.start(100);
    window->Button(kIdcOpen)->click();
    ExpectStoppedViews();

    window->Button(kIdcPlay)->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return PictureLeft() > 1000; }, 10'000));
    QueueLateReports();
    QHeaderView* heading = window->file_list()->header();
    const QPoint point(heading->sectionViewportPosition(1) + heading->sectionSize(1) / 2,
                       heading->height() / 2);
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, point);
    ExpectStoppedViews();
}

TEST_F(PlayerScreenTest, FullScreenAndBackLeavesTheWindowAsItWasOutsideTheVideo) {
    PlayCard();
    Key(Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().paused() != 0; }, 3000));
    QTest::qWait(500);
    const QImage before = Screen();
    const QRect frame(window->Control(kIdcVideoFrame)->mapTo(window.get(), QPoint(0, 0)),
                      window->Control(kIdcVideoFrame)->size());
    Key(Qt::Key_F);
    ASSERT_TRUE(window->full_screen());
    QTest::qWait(500);
    Key(Qt::Key_Escape);
    ASSERT_FALSE(window->full_screen());
    QTest::qWait(800);
    const QImage after = Screen();
    ASSERT_EQ(after.size(), before.size());
    // The picture and the black frame around it may differ; nothing else.
    const QPoint client = window->mapToGlobal(QPoint(0, 0)) - window->frameGeometry().topLeft();
    const QRect video = frame.translated(client).adjusted(-8, -8, 8, 8);
    int differing = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (!video.contains(x, y) && before.pixel(x, y) != after.pixel(x, y)) ++differing;
    if (differing != 0) {
        before.save(QString::fromStdString((*g_card / "before.png").string()));
        after.save(QString::fromStdString((*g_card / "after.png").string()));
    }
    EXPECT_EQ(differing, 0);
}

// A recording named on the command line: the launcher plays it into a
// window of its own, which the main window shows in the video surface from
// the start; the next recording plays in the surface's own window, and the
// launcher's window is gone from the screen.
TEST_F(PlayerScreenTest, TheLaunchersRecordingShowsInTheSurfaceAndTheNextInItsOwnWindow) {
    window->Player().Stop();
    window.reset();
    const fs::path first = *g_card / "NORM180501_120000.MOV";
    const fs::path second = *g_card / "NORM180501_120008.MOV";
    CEarlySurface surface(622, 350);
    ASSERT_NE(surface.window(), 0u);
    CEngineHeadStart head_start(CVlcPlayer::kLibraryName, fs::canonical(first).string(),
                                surface.window());
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    options.engine = std::make_shared<CVlcPlayer>(CVlcPlayer::kLibraryName, head_start.Handover());
    window = std::make_unique<CQORDlg>(nullptr, options);
    window->setGeometry(*geometry);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* video = static_cast<CVideoStatic*>(window->Control(kIdcVideo));
    // The engine may still be finishing on its own thread as the window shows.
    EXPECT_TRUE(QTest::qWaitFor([video] { return video->has_embedded_surface(); }, 5000));

    ASSERT_EQ(window->OpenPath(QString::fromStdString(first.string())), 1);
    EXPECT_EQ(player().early_surface(), surface.window()) << "the playing clip was taken over";
    ASSERT_TRUE(QTest::qWaitFor([this] { return PictureLeft() > 1000; }, 15'000))
        << "the launcher's picture shows in the surface";
    EXPECT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 500; }, 10'000));

    ASSERT_EQ(window->OpenPath(QString::fromStdString(second.string())), 1);
    EXPECT_FALSE(video->has_embedded_surface());
    EXPECT_EQ(player().early_surface(), 0u);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 500; }, 15'000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return PictureLeft() > 1000; }, 5000))
        << "the next recording shows in the surface's own window";
    window->Player().Stop();
    window.reset();
}

}  // namespace
}  // namespace orvo
