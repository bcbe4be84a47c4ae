#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include <vlc/vlc.h>

namespace orvo {

class CVlcPlayer;

// Value of the pending seek time while no seek is pending. Zero cannot serve:
// a seek to the very start of a clip is a real request.
inline constexpr std::int64_t kNoPendingSeek = std::numeric_limits<std::int64_t>::min();

// What the engine's event handler needs of the main window. OnPlayerEvent runs
// on libVLC's own thread while the window thread may be blocked inside
// CVlcPlayer::Stop (which waits for that thread), so every operation here must
// return without waiting for the window thread: post, never send.
class IPlayerEventSink {
public:
    // Posts one of the private player messages (app/window_messages.h).
    virtual void PostPlayerMessage(unsigned message, std::uintptr_t wparam) = 0;
    // Moves the position slider (range 0..1000); posted like a message.
    virtual void MoveSeekSlider(int per_mille) = 0;
    // Switches the GPS indicator off and requests its repaint; posted too.
    virtual void SwitchGpsIndicatorOff() = 0;
    // The binding that raised the event, for its length and time.
    virtual CVlcPlayer& Player() = 0;
    // The seek chosen by the user but not yet given to the engine, in ms, or
    // kNoPendingSeek. Shared with the window thread.
    virtual std::atomic<std::int64_t>& PendingSeekTime() = 0;
    // Process-wide clip switch guard: set by the window thread on a clip
    // change, cleared here on the new clip's first time report.
    virtual std::atomic<int>& ClipSwitchGuard() = 0;

protected:
    ~IPlayerEventSink() = default;
};

// The libVLC event callback. Pass it to CVlcPlayer::AttachEvents with the
// sink as user data, converted to IPlayerEventSink* before it becomes void*
// (static_cast<IPlayerEventSink*>(this)), so the cast back here is exact.
// The engine may call it until the player has been stopped: a sink that owns
// its player calls Stop in its own destructor body, before its members go.
void OnPlayerEvent(const libvlc_event_t* event, void* sink);

// Position-slider value for a time within a clip: time * 1000 / length,
// truncated, kept within 0..1000; 0 when the length is not known.
int SeekSliderPosition(std::int64_t time_ms, std::int64_t length_ms);

}  // namespace orvo
