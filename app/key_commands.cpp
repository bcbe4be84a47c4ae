#include "app/key_commands.h"

#include <algorithm>
#include <string_view>

namespace orvo {

namespace {

constexpr KeyBinding kBindings[] = {
    {PlayerKey::kPlayPause, "Space"},
    {PlayerKey::kSeekBack, "Left"},
    {PlayerKey::kSeekForward, "Right"},
    {PlayerKey::kSeekBackFine, "Shift+Left"},
    {PlayerKey::kSeekForwardFine, "Shift+Right"},
    {PlayerKey::kFrameBack, ","},
    {PlayerKey::kFrameForward, "."},
    {PlayerKey::kStart, "Home"},
    {PlayerKey::kEnd, "End"},
    {PlayerKey::kPrevious, "PgUp"},
    {PlayerKey::kNext, "PgDown"},
    // Plus is typed with Shift on many layouts; both sequences count.
    {PlayerKey::kFaster, "+"},
    {PlayerKey::kFaster, "Shift++"},
    {PlayerKey::kFaster, "="},
    {PlayerKey::kSlower, "-"},
    {PlayerKey::kMute, "M"},
    {PlayerKey::kFullScreen, "F"},
    {PlayerKey::kLeaveFullScreen, "Esc"},
    {PlayerKey::kOpen, "Ctrl+O"},
    {PlayerKey::kFile, "Alt+F"},
    {PlayerKey::kConfig, "Alt+P"},
    {PlayerKey::kInformation, "Alt+I"},
};

constexpr int64_t kSeekStepMs = 5000;
constexpr int64_t kFineSeekStepMs = 1000;
constexpr int64_t kLastSecondMs = 1000;

}  // namespace

std::span<const KeyBinding> PlayerKeyBindings() {
    return kBindings;
}

std::string KeyHintOf(PlayerKey command) {
    for (const KeyBinding& binding : kBindings) {
        if (binding.command == command) return binding.keys;
    }
    return {};
}

std::string WithKeyHint(const std::string& tip, PlayerKey command) {
    const std::string key = KeyHintOf(command);
    if (key.empty()) return tip;
    const std::string hint = "(" + key + ")";
    if (std::string_view(tip).ends_with(hint)) return tip;
    return tip.empty() ? hint : tip + " " + hint;
}

std::optional<int64_t> SeekKeyTarget(PlayerKey command, int64_t now_ms, int64_t length_ms) {
    if (length_ms <= 0) return std::nullopt;
    const int64_t last = std::max<int64_t>(0, length_ms - kLastSecondMs);
    const int64_t now = std::clamp<int64_t>(now_ms, 0, length_ms);
    int64_t target = 0;
    switch (command) {
        case PlayerKey::kSeekBack:
            target = now - kSeekStepMs;
            break;
        case PlayerKey::kSeekForward:
            target = now + kSeekStepMs;
            break;
        case PlayerKey::kSeekBackFine:
            target = now - kFineSeekStepMs;
            break;
        case PlayerKey::kSeekForwardFine:
            target = now + kFineSeekStepMs;
            break;
        case PlayerKey::kStart:
            return 0;
        case PlayerKey::kEnd:
            return last;
        default:
            return std::nullopt;
    }
    return std::clamp<int64_t>(target, 0, last);
}

}  // namespace orvo
