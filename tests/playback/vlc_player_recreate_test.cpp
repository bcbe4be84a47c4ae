// The FLIP button re-creates the engine again and again during one run of the
// viewer. Kept in its own program so that no other engine instance holds
// libVLC's plug-ins loaded in between.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/window_messages.h"
#include "playback/vlc_player.h"
#include "tests/playback/engine_fixture.h"

namespace orvo {
namespace {

using std::chrono::seconds;

TEST(VlcPlayerRecreate, PlaysAfterEveryOfManyRecreations) {
    test::TempDir dir;
    std::filesystem::path clip = dir.path() / "clip.mp4";
    test::MakeClip(clip, "testsrc=size=320x180:rate=25", 3);
    test::XWindow window(320, 180);
    ASSERT_TRUE(window.ok());

    CVlcPlayer player;
    test::RecordingSink sink(player);
    ASSERT_EQ(player.available(), 1);
    sink.Attach();
    int flip = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        sink.Clear();
        player.SetWindow(window.id());
        ASSERT_EQ(player.Open(clip.string()), 1);
        player.Play();
        // A decoder that failed to load still reports playing, but never a
        // time: wait for the time.
        ASSERT_TRUE(sink.WaitForMessage(WM_PLAYER_TIME, seconds(15)));
        EXPECT_EQ(test::CountMessages(sink.Messages(), WM_PLAYER_ERROR), 0);
        player.Stop();
        flip = 1 - flip;
        ASSERT_EQ(player.Recreate(flip), 1);
        ASSERT_EQ(player.available(), 1);
    }
}

}  // namespace
}  // namespace orvo
