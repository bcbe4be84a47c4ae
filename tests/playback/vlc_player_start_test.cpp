// The binding whose engine is created on another thread (the viewer's
// start-up), and the memory a long run of clip changes leaves behind, on the
// real libVLC (run under xvfb-run).
#include <malloc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/window_messages.h"
#include "library/clip_catalog.h"
#include "playback/early_surface.h"
#include "playback/engine_head_start.h"
#include "playback/vlc_player.h"
#include "tests/library/card_files.h"
#include "tests/playback/engine_fixture.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

bool WaitFor(const std::atomic<bool>& flag, seconds timeout = seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!flag.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return flag.load();
}

class VlcPlayerStartTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        test::MakeClip(Clip(), "testsrc=size=320x180:rate=25", 4);
        // Keeps libVLC's plug-ins loaded between the tests' engines.
        keeper_ = std::make_unique<CVlcPlayer>();
    }
    static void TearDownTestSuite() {
        keeper_.reset();
        dir_.reset();
    }
    static fs::path Clip() { return dir_->path() / "clip.mp4"; }

    static inline std::unique_ptr<test::TempDir> dir_;
    static inline std::unique_ptr<CVlcPlayer> keeper_;
    test::XWindow window_{320, 180};
};

TEST_F(VlcPlayerStartTest, OperationsWaitForTheEngineAndTheReadyHandlerRunsFirstOnce) {
    ASSERT_TRUE(window_.ok());
    CVlcPlayer player(CVlcPlayer::kLibraryName, StartEngineInBackground{});
    test::RecordingSink sink(player);
    std::atomic<bool> notified{false};
    int ready_runs = 0;
    player.SetEngineReadyHandler([&] {
        ++ready_runs;
        // What the main window does: its window and events come before any
        // media.
        player.SetWindow(window_.id());
        sink.Attach();
    });
    player.NotifyWhenCreated([&] { notified = true; });
    // Before the engine exists these answer "no media" without waiting.
    if (!player.engine_created()) {
        EXPECT_EQ(player.GetTime(), -1);
        EXPECT_EQ(player.GetVideoSize().width, 0u);
        EXPECT_EQ(ready_runs, 0);
    }
    ASSERT_EQ(player.Open(Clip().string()), 1);
    EXPECT_EQ(ready_runs, 1);
    player.Play();
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_STATE, seconds(15), kPlayerStatePlaying));
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
    EXPECT_TRUE(WaitFor(notified));
    EXPECT_TRUE(player.engine_created());
    player.WaitForEngine();
    EXPECT_EQ(ready_runs, 1);
    EXPECT_EQ(player.available(), 1);
    player.Stop();
}

TEST_F(VlcPlayerStartTest, AMissingLibraryInTheBackgroundLeavesTheEngineUnavailable) {
    CVlcPlayer player("libvlc-missing.so.0", StartEngineInBackground{});
    int ready_runs = 0;
    player.SetEngineReadyHandler([&] { ++ready_runs; });
    EXPECT_EQ(player.available(), 0);
    EXPECT_EQ(ready_runs, 1);
    EXPECT_EQ(player.Open(Clip().string()), 0);
    player.Play();
    EXPECT_EQ(player.playing(), 0);
    EXPECT_EQ(player.GetTime(), -1);
    EXPECT_EQ(player.GetLength(), -1);
    // A notice asked for after the creation has ended comes at once.
    bool notified = false;
    player.NotifyWhenCreated([&] { notified = true; });
    EXPECT_TRUE(notified);
}

// The launcher's engine, taken over by the binding: it plays, the window
// and events set in the ready handler come before any media, and the
// binding releases it (no second instance is made).
TEST_F(VlcPlayerStartTest, AnEngineStartedByTheLauncherIsTakenOverAndPlays) {
    ASSERT_TRUE(window_.ok());
    CEngineHeadStart head_start(CVlcPlayer::kLibraryName);
    CVlcPlayer player(CVlcPlayer::kLibraryName, head_start.Handover());
    test::RecordingSink sink(player);
    int ready_runs = 0;
    player.SetEngineReadyHandler([&] {
        ++ready_runs;
        player.SetWindow(window_.id());
        sink.Attach();
    });
    ASSERT_EQ(player.Open(Clip().string()), 1);
    EXPECT_EQ(ready_runs, 1);
    EXPECT_EQ(player.available(), 1);
    player.SetVolume(120);
    player.Play();
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_STATE, seconds(15), kPlayerStatePlaying));
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
    EXPECT_GT(player.GetLength(), 0);
    // The picture turned by 180 degrees needs an engine of its own; the
    // launcher's one is let go for it.
    EXPECT_EQ(player.Recreate(1), 1);
    player.SetWindow(window_.id());
    ASSERT_EQ(player.Open(Clip().string()), 1);
    player.Play();
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_STATE, seconds(15), kPlayerStatePlaying));
    player.Stop();
}

// Light pixels in a grey capture: the test picture has plenty.
int LightPixels(const std::vector<std::uint8_t>& grey) {
    int light = 0;
    for (std::uint8_t v : grey) light += v > 64 ? 1 : 0;
    return light;
}

// The recording the launcher started into its own window: the binding's
// first Open of the same file (spelt differently) takes it over as it plays,
// the early Stop of a window that opened nothing leaves it alone, and the
// next recording goes to the window set last, after the surface was given
// back.
TEST_F(VlcPlayerStartTest, TheLaunchersRecordingIsTakenOverThenTheWindowTakesOver) {
    ASSERT_TRUE(window_.ok());
    CEarlySurface surface(320, 180);
    ASSERT_NE(surface.window(), 0u);
    CEngineHeadStart head_start(CVlcPlayer::kLibraryName, fs::canonical(Clip()).string(),
                                surface.window());
    CVlcPlayer player(CVlcPlayer::kLibraryName, head_start.Handover());
    test::RecordingSink sink(player);
    player.SetEngineReadyHandler([&] {
        player.SetWindow(window_.id());
        sink.Attach();
    });
    EXPECT_EQ(player.early_surface(), surface.window());
    int surface_done = 0;
    player.SetEarlySurfaceDoneHandler([&] { ++surface_done; });
    player.Stop();
    ASSERT_EQ(player.early_surface(), surface.window());
    // Playing already: Play reports it, as the window waits for that.
    ASSERT_EQ(player.Open((dir_->path() / "." / "clip.mp4").string()), 1);
    player.Play();
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_STATE, seconds(15), kPlayerStatePlaying));
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
    EXPECT_FALSE(player.DropUnclaimedEarlyClip());
    EXPECT_EQ(surface_done, 0);

    ASSERT_EQ(player.Open(Clip().string()), 1);
    EXPECT_EQ(surface_done, 1);
    EXPECT_EQ(player.early_surface(), 0u);
    sink.Clear();
    player.Play();
    EXPECT_TRUE(sink.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
    const auto deadline = std::chrono::steady_clock::now() + seconds(15);
    while (LightPixels(window_.CaptureGrey()) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_GT(LightPixels(window_.CaptureGrey()), 0);
    player.Stop();
    EXPECT_EQ(surface_done, 1);
}

// A recording the window refused (or never opened) does not play on
// unseen: it ends, and the surface is given back.
TEST_F(VlcPlayerStartTest, AnUnclaimedLaunchersRecordingEndsWhenDropped) {
    CEarlySurface surface(320, 180);
    ASSERT_NE(surface.window(), 0u);
    CEngineHeadStart head_start(CVlcPlayer::kLibraryName, fs::canonical(Clip()).string(),
                                surface.window());
    CVlcPlayer player(CVlcPlayer::kLibraryName, head_start.Handover());
    int surface_done = 0;
    player.SetEarlySurfaceDoneHandler([&] { ++surface_done; });
    ASSERT_NE(player.early_surface(), 0u);
    EXPECT_TRUE(player.DropUnclaimedEarlyClip());
    EXPECT_EQ(surface_done, 1);
    EXPECT_EQ(player.early_surface(), 0u);
    EXPECT_EQ(player.GetTime(), -1);
    EXPECT_FALSE(player.DropUnclaimedEarlyClip());
    EXPECT_EQ(surface_done, 1);
}

TEST(EarlySurfaceTest, OnlyAnX11ToolkitCanEmbedTheLaunchersWindow) {
    EXPECT_TRUE(ToolkitDrawsOnX11(":0", nullptr, nullptr));
    EXPECT_TRUE(ToolkitDrawsOnX11(":0", "xcb", "wayland"));
    EXPECT_TRUE(ToolkitDrawsOnX11(":0", "", "x11"));
    EXPECT_FALSE(ToolkitDrawsOnX11(nullptr, nullptr, nullptr));
    EXPECT_FALSE(ToolkitDrawsOnX11("", "xcb", nullptr));
    EXPECT_FALSE(ToolkitDrawsOnX11(":0", "wayland", nullptr));
    EXPECT_FALSE(ToolkitDrawsOnX11(":0", "offscreen", nullptr));
    EXPECT_FALSE(ToolkitDrawsOnX11(":0", nullptr, "wayland"));
}

// Without libVLC the launcher makes nothing and the binding says the engine
// is missing; an engine nobody took over is released by the launcher.
TEST_F(VlcPlayerStartTest, TheLaunchersEngineWithoutLibraryOrTakerEndsCleanly) {
    {
        CEngineHeadStart head_start("libvlc-missing.so.0");
        CVlcPlayer player(CVlcPlayer::kLibraryName, head_start.Handover());
        int ready_runs = 0;
        player.SetEngineReadyHandler([&] { ++ready_runs; });
        EXPECT_EQ(player.available(), 0);
        EXPECT_EQ(ready_runs, 1);
        EXPECT_EQ(player.Open(Clip().string()), 0);
        EXPECT_EQ(player.GetTime(), -1);
    }
    // --version and usage errors end before the window takes the engine.
    CEngineHeadStart unused(CVlcPlayer::kLibraryName);
}

// In use bytes as the allocator counts them, mapped blocks included.
std::size_t AllocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Every clip change sets new media and reads the new clip's telemetry; none
// of it may stay behind. A leaked telemetry buffer (about 40 KB here) or
// media object would pass the bound within a few cycles.
TEST_F(VlcPlayerStartTest, ClipChangesLeaveNoMemoryBehind) {
    ASSERT_TRUE(window_.ok());
    testing::TempFolder card;
    testing::RecordingOptions recording;
    recording.duration_ms = 120000;
    for (int i = 0; i < 1200; ++i) {
        recording.gps.push_back(testing::Fix(3731.5 + i * 1e-3, 12701.2));
        recording.gsensor.push_back(GSensorRecord{});
    }
    for (int i = 0; i < 4; ++i) {
        recording.minute = 2 * i;
        char name[32];
        std::snprintf(name, sizeof name, "FILE180501_12%02d00.MOV", 2 * i);
        testing::WriteRecording(card.path() / name, recording);
    }
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    ASSERT_EQ(catalog.Count(), 4);
    CVlcPlayer player;
    ASSERT_EQ(player.available(), 1);
    player.SetWindow(window_.id());

    auto change_clips = [&](int cycles) {
        for (int i = 0; i < cycles; ++i) {
            ASSERT_EQ(catalog.SelectClip(i % 4), 1);
            ASSERT_EQ(player.Open(catalog.FullPath(i % 4)), 1);
        }
    };
    // The first rounds fill the engine's and the allocator's caches.
    change_clips(40);
    const std::size_t before = AllocatedBytes();
    constexpr int kCycles = 400;
    change_clips(kCycles);
    const std::size_t after = AllocatedBytes();
    const double per_cycle = (static_cast<double>(after) - static_cast<double>(before)) / kCycles;
    EXPECT_LT(per_cycle, 256.0) << before << " -> " << after << " bytes in use";
}

}  // namespace
}  // namespace orvo
