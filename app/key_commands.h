#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvo {

// What a key of the main window does. The window turns each into a button
// command or a seek; the table below is the only place that pairs them with
// keys, so the shortcuts, the tooltips and the README cannot disagree.
enum class PlayerKey : uint8_t {
    kPlayPause,
    kSeekBack,         // 5 s
    kSeekForward,      // 5 s
    kSeekBackFine,     // 1 s
    kSeekForwardFine,  // 1 s
    kFrameBack,
    kFrameForward,
    kStart,
    kEnd,
    kPrevious,
    kNext,
    kFaster,
    kSlower,
    kMute,
    kFullScreen,
    kLeaveFullScreen,
    kOpen,
    kFile,
    kConfig,
    kInformation,
};

// One key of a command, written the way QKeySequence reads portable text
// ("Shift+Left", "Ctrl+O"); a command may have several.
struct KeyBinding {
    PlayerKey command;
    const char* keys;
};

// Every binding, in the order the README lists them.
std::span<const KeyBinding> PlayerKeyBindings();

// The key a user reads for a command in its tooltip: its first binding,
// "" when it has none.
std::string KeyHintOf(PlayerKey command);

// A tooltip with the key appended: "Play/Pause video" -> "Play/Pause video
// (Space)". A text that already names the key is returned as it is.
std::string WithKeyHint(const std::string& tip, PlayerKey command);

// Where a seek key goes from `now_ms` in a clip `length_ms` long; nullopt
// for keys that are not seeks, or when the length is not known. Targets
// stay inside [0, last second]; End is the start of the last second.
std::optional<int64_t> SeekKeyTarget(PlayerKey command, int64_t now_ms, int64_t length_ms);

}  // namespace orvo
