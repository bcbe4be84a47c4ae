// Time from Open + Play to the first time report and to the first frame on
// screen, on a 1080p H.264 clip; prints the median (and range) of several runs.
//
// The first frame is taken to be on screen when the centre of the output
// window stops being black (the clip is a colourful test pattern).

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/window_messages.h"
#include "playback/player_event_sink.h"
#include "playback/vlc_player.h"

// Xlib's macros clash with little here, but keep it last all the same.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class TimingSink : public orvo::IPlayerEventSink {
public:
    explicit TimingSink(orvo::CVlcPlayer& player) : player_(player) {}
    void PostPlayerMessage(unsigned message, std::uintptr_t) override {
        if (message == orvo::WM_PLAYER_TIME && !first_time_.load()) {
            first_time_at_ = Clock::now();
            first_time_.store(true);
        }
    }
    void MoveSeekSlider(int) override {}
    void SwitchGpsIndicatorOff() override {}
    orvo::CVlcPlayer& Player() override { return player_; }
    std::atomic<std::int64_t>& PendingSeekTime() override { return pending_; }
    std::atomic<int>& ClipSwitchGuard() override { return guard_; }

    void Reset() { first_time_.store(false); }
    bool HasTime() const { return first_time_.load(); }
    Clock::time_point FirstTimeAt() const { return first_time_at_; }

private:
    orvo::CVlcPlayer& player_;
    std::atomic<std::int64_t> pending_{orvo::kNoPendingSeek};
    std::atomic<int> guard_{0};
    std::atomic<bool> first_time_{false};
    Clock::time_point first_time_at_;
};

bool CentreIsLit(Display* display, Window window, int width, int height) {
    constexpr int kBox = 32;
    Window root = DefaultRootWindow(display);
    Window child = 0;
    int x = 0;
    int y = 0;
    XTranslateCoordinates(display, window, root, width / 2 - kBox / 2, height / 2 - kBox / 2, &x,
                          &y, &child);
    XImage* image = XGetImage(display, root, x, y, kBox, kBox, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    int lit = 0;
    for (int row = 0; row < kBox; ++row)
        for (int col = 0; col < kBox; ++col) lit += (XGetPixel(image, col, row) & 0xFFFFFF) ? 1 : 0;
    XDestroyImage(image);
    return lit > kBox * kBox / 4;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    constexpr int kWidth = 1920;
    constexpr int kHeight = 1080;

    std::string dir_pattern = (fs::temp_directory_path() / "orvo-bench-XXXXXX").string();
    if (mkdtemp(dir_pattern.data()) == nullptr) return 1;
    fs::path dir = dir_pattern;
    fs::path clip = dir / "clip1080.mp4";
    std::string make =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=30 "
        "-t 5 -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 30 '" +
        clip.string() + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }

    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display (run under xvfb-run)\n");
        return 1;
    }
    int screen = DefaultScreen(display);
    Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight, 0,
                            BlackPixel(display, screen), BlackPixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);

    std::vector<double> to_time;
    std::vector<double> to_frame;
    {
        orvo::CVlcPlayer player;
        if (!player.available()) {
            std::fprintf(stderr, "libVLC not available\n");
            return 1;
        }
        TimingSink sink(player);
        player.AttachEvents(&orvo::OnPlayerEvent, static_cast<orvo::IPlayerEventSink*>(&sink));
        player.SetWindow(window);
        // One warm-up run loads the plug-ins; it is not counted.
        for (int run = -1; run < runs; ++run) {
            XClearWindow(display, window);
            XSync(display, False);
            sink.Reset();
            Clock::time_point start = Clock::now();
            player.Open(clip.string());
            player.Play();
            Clock::time_point frame_at{};
            Clock::time_point deadline = start + std::chrono::seconds(20);
            while ((!sink.HasTime() || frame_at == Clock::time_point{}) &&
                   Clock::now() < deadline) {
                if (frame_at == Clock::time_point{} &&
                    CentreIsLit(display, window, kWidth, kHeight))
                    frame_at = Clock::now();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            player.Stop();
            if (!sink.HasTime() || frame_at == Clock::time_point{}) {
                std::fprintf(stderr, "run %d: no time report or no frame within 20 s\n", run);
                return 1;
            }
            if (run < 0) continue;
            to_time.push_back(Ms(sink.FirstTimeAt() - start));
            to_frame.push_back(Ms(frame_at - start));
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    std::error_code ignored;
    fs::remove_all(dir, ignored);

    auto report = [](const char* what, const std::vector<double>& v) {
        std::printf("%-28s median %7.1f ms   min %7.1f   max %7.1f   (%zu runs)\n", what, Median(v),
                    *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()),
                    v.size());
    };
    std::printf("1080p H.264, Open + Play to:\n");
    report("first time report", to_time);
    report("first frame on screen", to_frame);
    return 0;
}
