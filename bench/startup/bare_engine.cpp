// orvo-bare-engine: the engine alone, as the benchmarks' yardstick. It opens
// an X window and plays recordings through libVLC with the viewer's instance
// arguments and media option, nothing else: no toolkit, no browser, no
// telemetry. With several recordings it continues automatically the way the
// viewer does (the next one opens while the engine runs; after the last one
// the first is cued paused and then played again), and it notes every clip
// change in the marker file.
//
//   orvo-bare-engine [--geometry WxH+X+Y] [--seconds N] [--markers FILE] FILE...
//
// With ORVO_BENCH_MARKERS set it notes its start-up steps there as the
// viewer does ("stage NAME NS", NS the monotonic clock in nanoseconds).

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <vlc/vlc.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int width = 622;
    int height = 350;
    int x = 0;
    int y = 0;
    double seconds = 0;  // 0: until killed
    std::string markers;
    std::vector<std::string> files;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--geometry" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d+%d+%d", &options.width, &options.height, &options.x,
                            &options.y) != 4)
                return false;
        } else if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::atof(argv[++i]);
        } else if (arg == "--markers" && i + 1 < argc) {
            options.markers = argv[++i];
        } else {
            options.files.push_back(arg);
        }
    }
    return !options.files.empty();
}

void Stage(const char* name) {
    const char* path = std::getenv("ORVO_BENCH_MARKERS");
    if (path == nullptr || *path == '\0') return;
    if (std::FILE* file = std::fopen(path, "a")) {
        const auto now = Clock::now().time_since_epoch();
        std::fprintf(file, "stage %s %lld\n", name,
                     static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fclose(file);
    }
}

int g_end_pipe[2] = {-1, -1};

// libVLC's event thread must not call back into the player: it only wakes
// the main loop.
void OnEnd(const libvlc_event_t*, void*) {
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(g_end_pipe[1], &byte, 1);
}

// The first time report, as the viewer notes it: how long the picture then
// takes to reach the screen is the same in both.
void OnTime(const libvlc_event_t*, void*) {
    static std::atomic<bool> noted{false};
    if (!noted.exchange(true)) Stage("time");
}

class BareEngine {
public:
    explicit BareEngine(const Options& options) : options_(options) {}
    ~BareEngine() {
        if (player_ != nullptr) {
            libvlc_media_player_stop(player_);
            libvlc_media_player_release(player_);
        }
        if (media_ != nullptr) libvlc_media_release(media_);
        if (instance_ != nullptr) libvlc_release(instance_);
    }

    bool Create(unsigned long window) {
        // The viewer's instance arguments (its default set).
        const char* args[] = {"-I", "dummy", "--ignore-config", "--plugin-path=./plugins"};
        instance_ = libvlc_new(4, args);
        if (instance_ == nullptr) return false;
        player_ = libvlc_media_player_new(instance_);
        if (player_ == nullptr) return false;
        libvlc_media_player_set_xwindow(player_, static_cast<uint32_t>(window));
        libvlc_event_attach(libvlc_media_player_event_manager(player_),
                            libvlc_MediaPlayerEndReached, &OnEnd, nullptr);
        libvlc_event_attach(libvlc_media_player_event_manager(player_),
                            libvlc_MediaPlayerTimeChanged, &OnTime, nullptr);
        return true;
    }

    // The viewer's Open: the previous media is let go after the new one is set.
    void Open(std::size_t index) {
        libvlc_media_t* previous = media_;
        media_ = libvlc_media_new_path(instance_, options_.files[index].c_str());
        libvlc_media_add_option(media_, ":ffmpeg-hw");
        libvlc_media_player_set_media(player_, media_);
        libvlc_video_set_key_input(player_, 0);
        libvlc_video_set_mouse_input(player_, 0);
        if (previous != nullptr) libvlc_media_release(previous);
        current_ = index;
    }

    void Play() { libvlc_media_player_play(player_); }

    // What the viewer does at the end of a recording with automatic
    // continuation on.
    void Continue() {
        if (current_ + 1 < options_.files.size()) {
            Open(current_ + 1);
            Play();
        } else {
            libvlc_media_player_stop(player_);
            Open(0);
            Play();
            const Clock::time_point deadline = Clock::now() + std::chrono::seconds(3);
            while (libvlc_media_player_get_length(player_) <= 0 && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            libvlc_media_player_pause(player_);
            Mark("cued");
            // The user presses PLAY.
            Play();
        }
        ++changes_;
        Mark("clip " + std::to_string(changes_));
    }

    void Mark(const std::string& line) const {
        if (options_.markers.empty()) return;
        if (std::FILE* file = std::fopen(options_.markers.c_str(), "a")) {
            std::fprintf(file, "%s\n", line.c_str());
            std::fclose(file);
        }
    }

private:
    const Options& options_;
    libvlc_instance_t* instance_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    std::size_t current_ = 0;
    long changes_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Stage("main");
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: orvo-bare-engine [--geometry WxH+X+Y] [--seconds N] "
                     "[--markers FILE] FILE...\n");
        return 2;
    }
    if (::pipe(g_end_pipe) != 0) return 1;
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "orvo-bare-engine: no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), options.x, options.y,
                      static_cast<unsigned>(options.width), static_cast<unsigned>(options.height),
                      0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel, &attributes);
    XMapWindow(display, window);
    XFlush(display);

    int result = 0;
    {
        BareEngine engine(options);
        if (!engine.Create(window)) {
            std::fprintf(stderr, "orvo-bare-engine: libVLC not available\n");
            result = 1;
        } else {
            Stage("engine");
            engine.Open(0);
            engine.Play();
            Stage("play");
            const Clock::time_point end =
                Clock::now() + std::chrono::milliseconds(static_cast<long>(options.seconds * 1000));
            while (options.seconds <= 0 || Clock::now() < end) {
                pollfd wait{g_end_pipe[0], POLLIN, 0};
                if (::poll(&wait, 1, 200) > 0) {
                    char byte = 0;
                    if (::read(g_end_pipe[0], &byte, 1) == 1) engine.Continue();
                }
            }
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return result;
}
