// The binding on the real libVLC, with real H.264 clips made by ffmpeg and a
// real X window for the output (run under xvfb-run). Every wait is on an
// engine event with a generous timeout.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <thread>

#include "app/window_messages.h"
#include "playback/player_event_sink.h"
#include "playback/rate_table.h"
#include "playback/vlc_player.h"
#include "tests/playback/engine_fixture.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;
using test::PostedMessage;
using test::PostedTimes;
using test::RecordingSink;

constexpr std::int64_t kClipMs = 6000;
// The still picture plays longer than a screen poll may wait (15 s): an
// output that is slow to follow a change on a loaded machine is still
// seen while the clip plays, never after it ended.
constexpr std::int64_t kStillClipMs = 20000;

class VlcPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        // A moving test pattern, and a still picture that is white above and
        // black below (so a turned picture is easy to tell).
        test::MakeClip(Clip(), "testsrc=size=640x360:rate=25", kClipMs / 1000.0);
        test::MakeClip(Black(), "color=c=black:s=320x180:r=25", kStillClipMs / 1000.0);
        test::MakeClip(Halves(),
                       "color=c=black:s=320x180:r=25,drawbox=x=0:y=0:w=320:h=90:color=white:t=fill",
                       kStillClipMs / 1000.0);
        fs::path folder = dir_->path() / "ドライブ録画 Ærø";
        fs::create_directories(folder);
        fs::copy_file(Clip(), NonAscii());
        // The viewer keeps one engine for its whole life; here every test
        // makes its own. This one stays for the whole suite so libVLC's
        // plug-ins stay loaded in between (each unload and reload of them
        // costs static TLS space that is never given back).
        keeper_ = std::make_unique<CVlcPlayer>();
    }
    static void TearDownTestSuite() {
        keeper_.reset();
        dir_.reset();
    }

    static fs::path Clip() { return dir_->path() / "clip.mp4"; }
    static fs::path Black() { return dir_->path() / "black.mp4"; }
    static fs::path Halves() { return dir_->path() / "halves.mp4"; }
    static fs::path NonAscii() { return dir_->path() / "ドライブ録画 Ærø" / "記録 ü.mp4"; }

    void SetUp() override {
        ASSERT_TRUE(window_.ok());
        ASSERT_EQ(player_.available(), 1) << "libVLC could not be loaded";
        player_.SetWindow(window_.id());
        sink_.Attach();
    }

    // Open + Play, then wait for the playing report and a first time report.
    void StartClip(const fs::path& clip) {
        ASSERT_EQ(player_.Open(clip.string()), 1);
        player_.Play();
        ASSERT_TRUE(sink_.WaitForMessage(WM_PLAYER_STATE, seconds(15), kPlayerStatePlaying));
        ASSERT_TRUE(sink_.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
    }

    // StartClip, then pause and wait for the paused report.
    void StartPaused(const fs::path& clip) {
        StartClip(clip);
        if (::testing::Test::HasFatalFailure()) return;
        player_.Pause();
        ASSERT_TRUE(sink_.WaitForMessage(WM_PLAYER_STATE, seconds(10), kPlayerStatePaused));
    }

    // Waits until a posted time reaches `ms`.
    bool WaitForTimeAtLeast(std::int64_t ms, milliseconds timeout = seconds(15)) {
        return sink_.WaitUntil(
            [&](const std::vector<PostedMessage>& all) {
                std::vector<std::int64_t> times = PostedTimes(all);
                return !times.empty() && times.back() >= ms;
            },
            timeout);
    }

    VideoSize WaitForVideoSize() {
        auto deadline = std::chrono::steady_clock::now() + seconds(10);
        VideoSize size = player_.GetVideoSize();
        while ((size.width == 0 || size.height == 0) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(milliseconds(20));
            size = player_.GetVideoSize();
        }
        return size;
    }

    // Snapshot of the current (paused) frame as PNG, decoded to grey pixels.
    std::vector<std::uint8_t> SnapshotGrey(const std::string& name, unsigned width,
                                           unsigned height) {
        fs::path file = dir_->path() / name;
        EXPECT_EQ(player_.TakeSnapshot(file.string()), 1);
        EXPECT_TRUE(test::WaitForFile(file)) << file;
        VideoSize size = test::PngSize(file);
        EXPECT_EQ(size.width, width);
        EXPECT_EQ(size.height, height);
        return test::GreyPixels(file, width, height);
    }

    static inline std::unique_ptr<test::TempDir> dir_;
    static inline std::unique_ptr<CVlcPlayer> keeper_;
    // The sink outlives the player (events may arrive until the player is
    // released), and the window outlives both.
    test::XWindow window_{640, 360};
    RecordingSink sink_{player_};
    CVlcPlayer player_;
};

double MeanOfRows(const std::vector<std::uint8_t>& grey, unsigned width, unsigned first,
                  unsigned last) {
    auto begin = grey.begin() + static_cast<std::ptrdiff_t>(first * width);
    auto end = grey.begin() + static_cast<std::ptrdiff_t>(last * width);
    return std::accumulate(begin, end, 0.0) / static_cast<double>(end - begin);
}

TEST_F(VlcPlayerTest, PlayReportsPlayingThenIncreasingTimes) {
    sink_.ClipSwitchGuard() = 1;
    StartClip(Clip());
    EXPECT_EQ(player_.playing(), 1);
    EXPECT_EQ(player_.paused(), 0);
    ASSERT_TRUE(WaitForTimeAtLeast(1000));

    std::vector<std::int64_t> times = PostedTimes(sink_.Messages());
    ASSERT_GE(times.size(), 3u);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_GT(times.back(), times.front());
    // The first time report releases the clip switch guard.
    EXPECT_EQ(sink_.ClipSwitchGuard().load(), 0);
    // The position slider follows, within its range and never backwards.
    std::vector<int> slider = sink_.SliderMoves();
    ASSERT_FALSE(slider.empty());
    EXPECT_TRUE(std::is_sorted(slider.begin(), slider.end()));
    EXPECT_GT(slider.back(), 0);
    EXPECT_LE(slider.back(), 1000);
    EXPECT_EQ(test::CountMessages(sink_.Messages(), WM_PLAYER_ERROR), 0);
    // Opening switched the GPS indicator off.
    EXPECT_GE(sink_.GpsOffCount(), 1);
}

TEST_F(VlcPlayerTest, LengthAndVideoSizeMatchTheClip) {
    StartClip(Clip());
    EXPECT_NEAR(static_cast<double>(player_.GetLength()), static_cast<double>(kClipMs), 100.0);
    VideoSize size = WaitForVideoSize();
    EXPECT_EQ(size.width, 640u);
    EXPECT_EQ(size.height, 360u);
}

TEST_F(VlcPlayerTest, PauseReportsPausedAndHoldsTheTime) {
    StartClip(Clip());
    ASSERT_TRUE(WaitForTimeAtLeast(500));
    sink_.PendingSeekTime() = 2000;
    player_.Pause();
    EXPECT_EQ(player_.playing(), 0);
    EXPECT_EQ(player_.paused(), 1);
    ASSERT_TRUE(sink_.WaitForMessage(WM_PLAYER_STATE, seconds(10), kPlayerStatePaused));
    // The paused report drops the pending seek.
    EXPECT_EQ(sink_.PendingSeekTime().load(), kNoPendingSeek);

    std::int64_t held = player_.GetTime();
    std::this_thread::sleep_for(milliseconds(400));
    EXPECT_EQ(player_.GetTime(), held);

    // Pause again resumes (the engine toggles), and time moves on.
    sink_.Clear();
    player_.Play();
    ASSERT_TRUE(WaitForTimeAtLeast(held + 300));
}

TEST_F(VlcPlayerTest, SetTimeMovesTheTimeBothWays) {
    StartClip(Clip());
    player_.SetTime(4000);
    ASSERT_TRUE(WaitForTimeAtLeast(4000));
    EXPECT_GE(player_.GetTime(), 4000);

    // A seek to the very start is a real seek too.
    sink_.Clear();
    player_.SetTime(0);
    ASSERT_TRUE(sink_.WaitUntil([](const std::vector<PostedMessage>& all) {
        std::vector<std::int64_t> times = PostedTimes(all);
        return !times.empty() && times.back() < 1500;
    }));
}

TEST_F(VlcPlayerTest, RateTwoAdvancesAboutTwiceAsFast) {
    player_.SetRate(static_cast<float>(RateOfStep(12)));
    EXPECT_FLOAT_EQ(player_.rate(), 2.0f);
    StartClip(Clip());
    ASSERT_TRUE(WaitForTimeAtLeast(300));

    std::int64_t t0 = player_.GetTime();
    auto w0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitForTimeAtLeast(t0 + 2400));
    std::int64_t t1 = player_.GetTime();
    double wall_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count();
    double speed = static_cast<double>(t1 - t0) / wall_ms;
    EXPECT_GT(speed, 1.5) << (t1 - t0) << " ms of clip in " << wall_ms << " ms";
    EXPECT_LT(speed, 2.6) << (t1 - t0) << " ms of clip in " << wall_ms << " ms";
}

TEST_F(VlcPlayerTest, SnapshotWritesPngAndJpegOfTheFrameSize) {
    ASSERT_NO_FATAL_FAILURE(StartPaused(Clip()));

    fs::path png = dir_->path() / "snap.png";
    fs::path jpg = dir_->path() / "snap.jpg";
    EXPECT_EQ(player_.TakeSnapshot(png.string()), 1);
    EXPECT_EQ(player_.TakeSnapshot(jpg.string()), 1);
    ASSERT_TRUE(test::WaitForFile(png));
    ASSERT_TRUE(test::WaitForFile(jpg));
    // The extension decides, whatever its case.
    fs::path upper = dir_->path() / "SNAP.PNG";
    EXPECT_EQ(player_.TakeSnapshot(upper.string()), 1);
    EXPECT_EQ(test::PngSize(upper).width, 640u);
    VideoSize png_size = test::PngSize(png);
    VideoSize jpg_size = test::JpegSize(jpg);
    EXPECT_EQ(png_size.width, 640u);
    EXPECT_EQ(png_size.height, 360u);
    EXPECT_EQ(jpg_size.width, 640u) << "not a JPEG file";
    EXPECT_EQ(jpg_size.height, 360u);
}

TEST_F(VlcPlayerTest, SnapshotWithoutPictureFailsAndWritesNothing) {
    fs::path png = dir_->path() / "nothing.png";
    EXPECT_EQ(player_.TakeSnapshot(png.string()), 0);
    EXPECT_FALSE(fs::exists(png));
}

TEST_F(VlcPlayerTest, EndOfClipPostsEnd) {
    player_.SetRate(4.0f);
    StartClip(Clip());
    sink_.PendingSeekTime() = 5000;
    ASSERT_TRUE(sink_.WaitForMessage(WM_PLAYER_END, seconds(20), 1));
    // The handler clears the pending seek right after posting.
    ASSERT_TRUE(sink_.WaitForRawEvents(libvlc_MediaPlayerEndReached, 1));
    EXPECT_EQ(sink_.PendingSeekTime().load(), kNoPendingSeek);
    EXPECT_EQ(test::CountMessages(sink_.Messages(), WM_PLAYER_ERROR), 0);
}

TEST_F(VlcPlayerTest, TimeEventsWhileASeekIsPendingPostNothing) {
    StartClip(Clip());
    sink_.PendingSeekTime() = 3000;
    // A report already being handled when the seek was chosen may still land;
    // once the next one has started, the earlier one is done.
    std::vector<libvlc_event_type_t> handled = sink_.RawEvents();
    auto seen = static_cast<std::size_t>(
        std::count(handled.begin(), handled.end(), libvlc_MediaPlayerTimeChanged));
    ASSERT_TRUE(sink_.WaitForRawEvents(libvlc_MediaPlayerTimeChanged, seen + 2));
    sink_.Clear();
    ASSERT_TRUE(sink_.WaitForRawEvents(libvlc_MediaPlayerTimeChanged, 5));
    EXPECT_EQ(test::CountMessages(sink_.Messages(), WM_PLAYER_TIME), 0);
    EXPECT_TRUE(sink_.SliderMoves().empty());

    // With the seek given to the engine and cleared, reports flow again.
    player_.SetTime(sink_.PendingSeekTime().exchange(kNoPendingSeek));
    ASSERT_TRUE(WaitForTimeAtLeast(3000));
}

TEST_F(VlcPlayerTest, NonAsciiPathPlays) {
    StartClip(NonAscii());
    EXPECT_EQ(player_.path(), NonAscii().string());
    ASSERT_TRUE(WaitForTimeAtLeast(500));
    EXPECT_EQ(test::CountMessages(sink_.Messages(), WM_PLAYER_ERROR), 0);
}

TEST_F(VlcPlayerTest, UnreadableFilePostsError) {
    fs::path missing = dir_->path() / "gone" / "missing.mp4";
    ASSERT_EQ(player_.Open(missing.string()), 1);
    player_.Play();
    EXPECT_TRUE(sink_.WaitForMessage(WM_PLAYER_ERROR, seconds(15), 1));
}

TEST_F(VlcPlayerTest, RecreateKeepsEventsVolumeAndTurnsThePicture) {
    player_.SetVolume(120);
    ASSERT_NO_FATAL_FAILURE(StartPaused(Halves()));
    std::vector<std::uint8_t> upright = SnapshotGrey("upright.png", 320, 180);
    ASSERT_FALSE(upright.empty());
    EXPECT_GT(MeanOfRows(upright, 320, 10, 80), 200.0);
    EXPECT_LT(MeanOfRows(upright, 320, 100, 170), 50.0);

    player_.Stop();
    ASSERT_EQ(player_.Recreate(1), 1);
    EXPECT_EQ(player_.argument_set(), 1);
    EXPECT_EQ(player_.available(), 1);
    EXPECT_EQ(player_.volume(), 120);

    sink_.Clear();
    player_.SetWindow(window_.id());
    ASSERT_NO_FATAL_FAILURE(StartPaused(Halves()));  // waits on events of the new player
    std::vector<std::uint8_t> turned = SnapshotGrey("turned.png", 320, 180);
    ASSERT_FALSE(turned.empty());
    EXPECT_LT(MeanOfRows(turned, 320, 10, 80), 50.0);
    EXPECT_GT(MeanOfRows(turned, 320, 100, 170), 200.0);

    // And back to the plain engine.
    player_.Stop();
    ASSERT_EQ(player_.Recreate(0), 1);
    sink_.Clear();
    player_.SetWindow(window_.id());
    StartClip(Halves());
}

TEST_F(VlcPlayerTest, RecreateWithoutMediaOnlyStoresTheSet) {
    EXPECT_EQ(player_.Recreate(1), 0);
    EXPECT_EQ(player_.argument_set(), 1);
    EXPECT_EQ(player_.available(), 1);
    // The engine is the one made at construction: still attached, still plays.
    StartClip(Clip());
}

TEST_F(VlcPlayerTest, RateOverlayShowsOnlyOffTheNormalRate) {
    // White label text over a black picture: count the light pixels in the
    // top-left corner of the window. (Snapshots leave the overlay out: the
    // output draws it over the picture on screen.)
    auto light_in_corner = [this] {
        std::vector<std::uint8_t> grey = window_.CaptureGrey();
        EXPECT_EQ(grey.size(), 640u * 360u);
        int light = 0;
        for (unsigned y = 0; y < 80 && !grey.empty(); ++y)
            for (unsigned x = 0; x < 240; ++x) light += grey[y * 640 + x] > 128 ? 1 : 0;
        return light;
    };
    // The marquee shows and goes a few frames after the call: poll the
    // screen until it does (or the deadline passes).
    // After a rate change the window sends the overlay again every 300 ms,
    // ten times over; `reapply` does the same, so that one change the
    // engine misses does not fail the test while the window would mend it.
    auto settles = [&](auto&& expected, const std::function<void()>& reapply = {}) {
        auto deadline = std::chrono::steady_clock::now() + seconds(15);
        int value = light_in_corner();
        for (int poll = 1; !expected(value) && std::chrono::steady_clock::now() < deadline;
             ++poll) {
            std::this_thread::sleep_for(milliseconds(100));
            if (reapply && poll % 3 == 0 && poll <= 30) reapply();
            value = light_in_corner();
        }
        return value;
    };
    auto shown = [](int light) { return light > 20; };
    auto gone = [](int light) { return light == 0; };
    StartClip(Black());
    ASSERT_TRUE(WaitForTimeAtLeast(400));

    RateOverlay fast = MakeRateOverlay(12, 180);
    EXPECT_EQ(fast.text, "2.0 X");
    EXPECT_EQ(player_.SetOverlayText(fast.text, fast.size, fast.enabled), 1);
    EXPECT_PRED1(shown, settles(shown));

    RateOverlay normal = MakeRateOverlay(kNormalRateStep, 180);
    EXPECT_EQ(player_.SetOverlayText(normal.text, normal.size, normal.enabled), 1);
    EXPECT_PRED1(gone, settles(gone, [&] {
                     player_.SetOverlayText(normal.text, normal.size, normal.enabled);
                 }));
}

TEST_F(VlcPlayerTest, CropCutsMarginsAndZeroShowsTheWholeFrame) {
    // White above, black below; the window is twice the picture's size. Row
    // 220 of the window lies in the black half of the whole picture, and in
    // the white band that is left once the bottom half is cut away (shown
    // letterboxed over rows 90..270).
    auto row_220_brightness = [this] {
        std::vector<std::uint8_t> grey = window_.CaptureGrey();
        EXPECT_EQ(grey.size(), 640u * 360u);
        if (grey.empty()) return 0.0;
        return MeanOfRows(grey, 640, 220, 221);
    };
    // The output follows a crop change a few frames later, and later still on
    // a loaded machine: poll the screen until it shows the expected band.
    auto settles = [&](auto&& expected) {
        auto deadline = std::chrono::steady_clock::now() + seconds(15);
        double value = row_220_brightness();
        while (!expected(value) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(milliseconds(100));
            value = row_220_brightness();
        }
        return value;
    };
    auto dark = [](double v) { return v < 50.0; };
    auto light = [](double v) { return v > 200.0; };
    StartClip(Halves());
    ASSERT_TRUE(WaitForTimeAtLeast(400));
    EXPECT_PRED1(dark, settles(dark));

    sink_.Clear();
    EXPECT_EQ(player_.SetCrop(0, 0, 0, 90), 1);
    EXPECT_PRED1(light, settles(light));

    EXPECT_EQ(player_.SetCrop(0, 0, 0, 0), 1);
    EXPECT_PRED1(dark, settles(dark));
    EXPECT_EQ(test::CountMessages(sink_.Messages(), WM_PLAYER_ERROR), 0);
}

}  // namespace
}  // namespace orvo
