// The engine's event handler and the binding without an engine: neither needs
// libVLC at run time (the binding is pointed at a library that does not exist).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/window_messages.h"
#include "playback/player_event_sink.h"
#include "playback/vlc_player.h"

namespace orvo {
namespace {

struct Posted {
    unsigned message;
    std::uintptr_t wparam;
    bool operator==(const Posted&) const = default;
};

class FakeWindow : public IPlayerEventSink {
public:
    explicit FakeWindow(CVlcPlayer& player) : player_(player) {}
    void PostPlayerMessage(unsigned message, std::uintptr_t wparam) override {
        posted.push_back({message, wparam});
    }
    void MoveSeekSlider(int per_mille) override { slider.push_back(per_mille); }
    void SwitchGpsIndicatorOff() override { ++gps_off; }
    CVlcPlayer& Player() override { return player_; }
    std::atomic<std::int64_t>& PendingSeekTime() override { return pending; }
    std::atomic<int>& ClipSwitchGuard() override { return guard; }

    void Raise(libvlc_event_type_t type) {
        libvlc_event_t event{};
        event.type = type;
        OnPlayerEvent(&event, static_cast<IPlayerEventSink*>(this));
    }

    std::vector<Posted> posted;
    std::vector<int> slider;
    int gps_off = 0;
    std::atomic<std::int64_t> pending{kNoPendingSeek};
    std::atomic<int> guard{0};

private:
    CVlcPlayer& player_;
};

constexpr const char* kNoLibrary = "liborvo-no-such-engine.so.0";

TEST(MissingEngine, EveryOperationIsANoOp) {
    CVlcPlayer player(kNoLibrary);
    EXPECT_EQ(player.available(), 0);
    EXPECT_EQ(player.playing(), 0);
    EXPECT_EQ(player.paused(), 1);

    EXPECT_EQ(player.Open("/tmp/clip.mp4"), 0);
    EXPECT_EQ(player.path(), "");
    player.Play();
    EXPECT_EQ(player.playing(), 0);
    EXPECT_EQ(player.paused(), 1);
    player.Stop();
    EXPECT_EQ(player.paused(), 1);
    player.Pause();
    player.SetTime(1000);
    player.SetRate(2.0f);
    EXPECT_FLOAT_EQ(player.rate(), 1.0f);
    player.SetVolume(80);
    EXPECT_EQ(player.volume(), 200);
    player.SetMute(true);
    player.SetWindow(42);
    player.AttachEvents(&OnPlayerEvent, nullptr);

    EXPECT_EQ(player.GetLength(), -1);
    EXPECT_EQ(player.GetTime(), -1);
    VideoSize size = player.GetVideoSize();
    EXPECT_EQ(size.width, 0u);
    EXPECT_EQ(size.height, 0u);
    EXPECT_EQ(player.TakeSnapshot("/tmp/orvo-never-written.png"), 0);
    EXPECT_EQ(player.SetOverlayText("2.0 X", 48, true), 0);
    EXPECT_EQ(player.SetCrop(0, 0, 0, 0), 0);

    // The set is stored even though nothing can be re-created.
    EXPECT_EQ(player.Recreate(1), 0);
    EXPECT_EQ(player.argument_set(), 1);
    EXPECT_EQ(player.available(), 0);
}

TEST(MissingEngine, TimeReportMovesTheSliderNowhere) {
    CVlcPlayer player(kNoLibrary);
    FakeWindow window(player);
    window.Raise(libvlc_MediaPlayerTimeChanged);
    ASSERT_EQ(window.slider.size(), 1u);
    EXPECT_EQ(window.slider[0], 0);
}

TEST(OnPlayerEvent, PostsAndClearsByEventType) {
    struct Row {
        libvlc_event_type_t type;
        std::vector<Posted> posted;
        bool clears_pending_seek;
        int gps_off;
    };
    const std::vector<Row> rows = {
        {libvlc_MediaPlayerOpening, {}, true, 1},
        {libvlc_MediaPlayerStopped, {}, false, 1},
        {libvlc_MediaPlayerPlaying, {{WM_PLAYER_STATE, 3}}, false, 0},
        {libvlc_MediaPlayerPaused, {{WM_PLAYER_STATE, 4}}, true, 0},
        {libvlc_MediaPlayerEndReached, {{WM_PLAYER_END, 1}}, true, 0},
        {libvlc_MediaPlayerEncounteredError, {{WM_PLAYER_ERROR, 1}}, false, 0},
        // A pending seek silences time reports entirely.
        {libvlc_MediaPlayerTimeChanged, {}, false, 0},
        {libvlc_MediaPlayerPositionChanged, {}, false, 0},
        {libvlc_MediaPlayerSeekableChanged, {}, false, 0},
        {libvlc_MediaStateChanged, {}, false, 0},
        {libvlc_MediaPlayerMediaChanged, {}, false, 0},
        {libvlc_MediaPlayerBuffering, {}, false, 0},
    };
    CVlcPlayer player(kNoLibrary);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        FakeWindow window(player);
        window.pending = 0;  // a seek to the very start is pending
        window.guard = 1;
        window.Raise(row.type);
        EXPECT_EQ(window.posted, row.posted);
        EXPECT_EQ(window.pending.load(), row.clears_pending_seek ? kNoPendingSeek : 0);
        EXPECT_EQ(window.gps_off, row.gps_off);
        EXPECT_TRUE(window.slider.empty());
        EXPECT_EQ(window.guard.load(), 1);
    }
}

TEST(OnPlayerEvent, TimeReportWithoutPendingSeekPostsTimeMovesSliderReleasesGuard) {
    CVlcPlayer player(kNoLibrary);
    FakeWindow window(player);
    window.guard = 1;
    window.Raise(libvlc_MediaPlayerTimeChanged);
    // The unavailable engine reads -1, which is reported as the start (not
    // as 0xFFFFFFFF ms).
    ASSERT_EQ(window.posted.size(), 1u);
    EXPECT_EQ(window.posted[0], (Posted{WM_PLAYER_TIME, 0u}));
    EXPECT_EQ(window.slider.size(), 1u);
    EXPECT_EQ(window.guard.load(), 0);
}

TEST(OnPlayerEvent, IgnoresMissingEventOrSink) {
    libvlc_event_t event{};
    event.type = libvlc_MediaPlayerPlaying;
    OnPlayerEvent(&event, nullptr);
    OnPlayerEvent(nullptr, nullptr);
}

TEST(SeekSliderPosition, PerMilleOfTheLengthWithinRange) {
    struct Row {
        std::int64_t time;
        std::int64_t length;
        int position;
    };
    const Row rows[] = {
        {0, 60000, 0},
        {30000, 60000, 500},
        {59999, 60000, 999},
        {60000, 60000, 1000},
        {60500, 60000, 1000},  // reported a little past the end
        {1, 3, 333},
        {2, 3, 666},
        {5000, 0, 0},
        {5000, -1, 0},
        {-1, -1, 0},
        {-1, 60000, 0},
        {std::int64_t{1} << 40, std::int64_t{1} << 41, 500},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.time << " / " << row.length);
        EXPECT_EQ(SeekSliderPosition(row.time, row.length), row.position);
    }
}

}  // namespace
}  // namespace orvo
