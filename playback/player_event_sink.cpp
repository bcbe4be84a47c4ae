#include "playback/player_event_sink.h"

#include <algorithm>

#include "app/window_messages.h"
#include "playback/vlc_player.h"

namespace orvo {

int SeekSliderPosition(std::int64_t time_ms, std::int64_t length_ms) {
    // The engine reports -1 or 0 while the length is unknown, and a time a
    // little past the length at the very end; neither may leave 0..1000.
    if (length_ms <= 0 || time_ms <= 0) return 0;
    double per_mille = static_cast<double>(time_ms) * 1000.0 / static_cast<double>(length_ms);
    return per_mille >= 1000.0 ? 1000 : static_cast<int>(per_mille);
}

void OnPlayerEvent(const libvlc_event_t* event, void* data) {
    if (event == nullptr || data == nullptr) return;
    auto* sink = static_cast<IPlayerEventSink*>(data);
    switch (event->type) {
        case libvlc_MediaPlayerOpening:
            sink->PendingSeekTime().store(kNoPendingSeek);
            sink->SwitchGpsIndicatorOff();
            break;
        case libvlc_MediaPlayerStopped:
            sink->SwitchGpsIndicatorOff();
            break;
        case libvlc_MediaPlayerPlaying:
            sink->PostPlayerMessage(WM_PLAYER_STATE, kPlayerStatePlaying);
            break;
        case libvlc_MediaPlayerPaused:
            sink->PendingSeekTime().store(kNoPendingSeek);
            sink->PostPlayerMessage(WM_PLAYER_STATE, kPlayerStatePaused);
            break;
        case libvlc_MediaPlayerEndReached:
            sink->PostPlayerMessage(WM_PLAYER_END, 1);
            sink->PendingSeekTime().store(kNoPendingSeek);
            break;
        case libvlc_MediaPlayerEncounteredError:
            sink->PostPlayerMessage(WM_PLAYER_ERROR, 1);
            break;
        case libvlc_MediaPlayerTimeChanged: {
            // While the user's seek waits for the engine, reports of the old
            // position would pull the slider back mid-drag: drop them.
            if (sink->PendingSeekTime().load() != kNoPendingSeek) break;
            CVlcPlayer& player = sink->Player();
            std::int64_t length = player.GetLength();
            // -1 (no input any more) would read as 49 days once cut to the
            // message's 32 bits: report the start instead.
            std::int64_t time = std::max<std::int64_t>(player.GetTime(), 0);
            sink->PostPlayerMessage(WM_PLAYER_TIME,
                                    static_cast<std::uint32_t>(static_cast<std::uint64_t>(time)));
            sink->MoveSeekSlider(SeekSliderPosition(time, length));
            sink->ClipSwitchGuard().store(0);
            break;
        }
        default:
            break;
    }
}

}  // namespace orvo
