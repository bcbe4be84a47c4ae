#include "app/key_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/frame_clock.h"

namespace orvo {
namespace {

TEST(KeyCommandsTest, EveryKeyIsBoundOnceAndLeavesTheOtherHelpersKeysFree) {
    std::set<std::string> keys;
    for (const KeyBinding& binding : PlayerKeyBindings()) {
        EXPECT_TRUE(keys.insert(binding.keys).second) << binding.keys << " bound twice";
    }
    // Clip export, file operations and incidents register these themselves.
    for (const char* reserved : {"I", "O", "Ctrl+Shift+E", "Del", "Delete", "Ctrl+S", "Ctrl+E", "N",
                                 "Shift+N", "Return", "Enter"}) {
        EXPECT_EQ(keys.count(reserved), 0u) << reserved;
    }
    for (const char* wanted : {"Space", "Left", "Right",  "Shift+Left", "Shift+Right", ",",    ".",
                               "Home",  "End",  "PgUp",   "PgDown",     "+",           "-",    "M",
                               "F",     "Esc",  "Ctrl+O", "Alt+F",      "Alt+P",       "Alt+I"}) {
        EXPECT_EQ(keys.count(wanted), 1u) << wanted;
    }
}

TEST(KeyCommandsTest, TooltipsGetTheFirstKeyOnce) {
    EXPECT_EQ(WithKeyHint("Play/Pause video", PlayerKey::kPlayPause), "Play/Pause video (Space)");
    EXPECT_EQ(WithKeyHint("Play/Pause video (Space)", PlayerKey::kPlayPause),
              "Play/Pause video (Space)");
    EXPECT_EQ(WithKeyHint("Fast", PlayerKey::kFaster), "Fast (+)");
    EXPECT_EQ(WithKeyHint("", PlayerKey::kOpen), "(Ctrl+O)");
    EXPECT_EQ(KeyHintOf(PlayerKey::kNext), "PgDown");
}

struct SeekRow {
    PlayerKey key;
    int64_t now;
    int64_t length;
    std::optional<int64_t> target;
};

TEST(KeyCommandsTest, SeekTargetsStayInsideTheClip) {
    const SeekRow rows[] = {
        {PlayerKey::kSeekForward, 2000, 20'000, 7000},
        {PlayerKey::kSeekBack, 7000, 20'000, 2000},
        {PlayerKey::kSeekBack, 3000, 20'000, 0},            // not before the start
        {PlayerKey::kSeekForward, 17'000, 20'000, 19'000},  // not past the last second
        {PlayerKey::kSeekForwardFine, 2000, 20'000, 3000},
        {PlayerKey::kSeekBackFine, 2000, 20'000, 1000},
        {PlayerKey::kStart, 12'000, 20'000, 0},
        {PlayerKey::kEnd, 0, 20'000, 19'000},
        {PlayerKey::kEnd, 0, 600, 0},                       // a clip shorter than a second
        {PlayerKey::kSeekForward, -1, 20'000, 5000},        // engine time not known yet
        {PlayerKey::kSeekForward, 2000, -1, std::nullopt},  // length not known
        {PlayerKey::kSeekForward, 2000, 0, std::nullopt},
        {PlayerKey::kPlayPause, 2000, 20'000, std::nullopt},
    };
    for (const SeekRow& row : rows) {
        EXPECT_EQ(SeekKeyTarget(row.key, row.now, row.length), row.target)
            << static_cast<int>(row.key) << " from " << row.now;
    }
}

TEST(FrameClockTest, FileNameTimePlusPosition) {
    EXPECT_EQ(FrameClockText("NORM240518_101500.MOV", 0, 5400), "2024-05-18 10:15:05");
    // Minutes, hours, days and a leap day carry over.
    EXPECT_EQ(FrameClockText("NORM240518_101559.MOV", 0, 1000), "2024-05-18 10:16:00");
    EXPECT_EQ(FrameClockText("NORM241231_235959.MOV", 0, 2000), "2025-01-01 00:00:01");
    EXPECT_EQ(FrameClockText("NORM240228_235930.MOV", 0, 60'000), "2024-02-29 00:00:30");
    EXPECT_EQ(FrameClockText("NORM240518_101500.MOV", 0, -300), "2024-05-18 10:15:00");
}

TEST(FrameClockTest, NamesWithoutATimeFallBackToTheStartTime) {
    // Not a camera name: the start time counts, in local time.
    const std::string text = FrameClockText("clip.mov", 1'700'000'000, 5000);
    EXPECT_EQ(text.size(), 19u) << text;
    EXPECT_EQ(FrameClockText("clip.mov", 0, 5000), "");
    // A name of the right length whose time is not a time.
    EXPECT_EQ(FrameClockText("NORM24ab18_101500.MOV", 0, 0), "");
    EXPECT_EQ(FrameClockText("NORM241318_101500.MOV", 0, 0), "") << "month 13";
}

TEST(FrameClockTest, PositionAndLength) {
    EXPECT_EQ(PositionLengthText(5000, 25'000), "00:05 / 00:25");
    EXPECT_EQ(PositionLengthText(-1, -1), "00:00 / 00:00");
    EXPECT_EQ(PositionLengthText(61'999, 3'725'000), "01:01 / 1:02:05");
}

}  // namespace
}  // namespace orvo
