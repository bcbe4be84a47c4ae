#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <vlc/vlc.h>

#include "playback/player_event_sink.h"
#include "playback/vlc_player.h"
#include "tests/support/temp_dir.h"

namespace orvo::test {

// A posted private message as the main window would receive it.
struct PostedMessage {
    unsigned message = 0;
    std::uintptr_t wparam = 0;
};

// Stands in for the main window: records what the engine's event handler
// posts, and lets a test wait for it with a timeout.
class RecordingSink : public IPlayerEventSink {
public:
    explicit RecordingSink(CVlcPlayer& player) : player_(player) {}

    void PostPlayerMessage(unsigned message, std::uintptr_t wparam) override;
    void MoveSeekSlider(int per_mille) override;
    void SwitchGpsIndicatorOff() override;
    CVlcPlayer& Player() override { return player_; }
    std::atomic<std::int64_t>& PendingSeekTime() override { return pending_seek_; }
    std::atomic<int>& ClipSwitchGuard() override { return guard_; }

    std::vector<PostedMessage> Messages() const;
    std::vector<int> SliderMoves() const;
    std::vector<libvlc_event_type_t> RawEvents() const;
    int GpsOffCount() const;
    void Clear();

    // Waits until `done` holds for the recorded messages, or the timeout
    // passes; true when it held.
    bool WaitUntil(const std::function<bool(const std::vector<PostedMessage>&)>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // Waits for a message with the given value (and wParam, unless any).
    bool WaitForMessage(unsigned message, std::chrono::milliseconds timeout,
                        std::int64_t wparam = -1);
    // Waits until at least `count` engine events of `type` have been handled.
    bool WaitForRawEvents(libvlc_event_type_t type, std::size_t count,
                          std::chrono::milliseconds timeout = std::chrono::seconds(15));

    // Event handler that hands the event to OnPlayerEvent and then records
    // it, so tests can tell "no event" from "event dropped".
    static void CountingHandler(const libvlc_event_t* event, void* data);

    // Attaches CountingHandler with this sink as user data.
    void Attach();

private:
    CVlcPlayer& player_;
    std::atomic<std::int64_t> pending_seek_{kNoPendingSeek};
    std::atomic<int> guard_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<PostedMessage> messages_;
    std::vector<int> slider_;
    std::vector<libvlc_event_type_t> raw_;
    int gps_off_ = 0;
};

// Times of the WM_PLAYER_TIME messages in order.
std::vector<std::int64_t> PostedTimes(const std::vector<PostedMessage>& messages);
int CountMessages(const std::vector<PostedMessage>& messages, unsigned message);

// A fresh temporary folder, removed with the object.
using TempDir = test_support::TempFolder;

// Encodes an H.264 clip with ffmpeg from a lavfi source description; fails
// the test (loudly) when ffmpeg is missing or fails.
void MakeClip(const std::filesystem::path& out, const std::string& lavfi_source, double seconds);

// A plain top-level X11 window for the engine's output, on $DISPLAY.
class XWindow {
public:
    XWindow(unsigned width, unsigned height);
    ~XWindow();
    bool ok() const { return window_ != 0; }
    std::uintptr_t id() const { return window_; }
    // What the screen shows in the window (the engine's output included), as
    // 8-bit grey pixels row by row; empty on failure.
    std::vector<std::uint8_t> CaptureGrey() const;

private:
    void* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned width_ = 0;
    unsigned height_ = 0;
};

// Picture size stored in a PNG (IHDR) or JPEG (SOFn) file; 0 x 0 when the
// file is neither or is cut short.
VideoSize PngSize(const std::filesystem::path& file);
VideoSize JpegSize(const std::filesystem::path& file);

// Decodes an image file to 8-bit grey pixels with ffmpeg (row by row).
std::vector<std::uint8_t> GreyPixels(const std::filesystem::path& image, unsigned width,
                                     unsigned height);

// Waits until a file exists with a non-zero size that stays put.
bool WaitForFile(const std::filesystem::path& file,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace orvo::test
