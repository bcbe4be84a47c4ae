// A long review session: the viewer plays a generated card of short
// recordings with automatic continuation (after the last recording the first
// is cued paused, and this program presses PLAY), while the bare engine goes
// through the same clip changes in the same run. Every interval the resident
// memory of the viewer, of its browser helpers and of the bare engine is
// sampled; at the end the growth after the warm-up is printed, in all and per
// clip change.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/soak/soak_bench
//       [--minutes M] [--warmup-minutes W] [--short] [--interval S]
//       [--clips N] [--clip-seconds S] [--env NAME=VALUE]... [--viewer PATH]
//
// --short runs 6 minutes with a 2-minute warm-up. --env sets a variable for
// both the viewer and the bare engine (allocator settings, for example).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "bench/startup/bench_process.h"

namespace {

namespace fs = std::filesystem;
using namespace orvo::bench;

struct Options {
    double minutes = 30;
    double warmup_minutes = 5;
    int interval_s = 10;
    int clips = 4;
    int clip_seconds = 10;
    std::vector<std::pair<std::string, std::string>> env;
    std::string viewer = ORVO_VIEWER_PATH;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--short") {
            options.minutes = 6;
            options.warmup_minutes = 2;
        } else if (arg == "--minutes" && has_value) {
            options.minutes = std::atof(argv[++i]);
        } else if (arg == "--warmup-minutes" && has_value) {
            options.warmup_minutes = std::atof(argv[++i]);
        } else if (arg == "--interval" && has_value) {
            options.interval_s = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--clips" && has_value) {
            options.clips = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--clip-seconds" && has_value) {
            options.clip_seconds = std::max(2, std::atoi(argv[++i]));
        } else if (arg == "--viewer" && has_value) {
            options.viewer = argv[++i];
        } else if (arg == "--env" && has_value) {
            const std::string pair = argv[++i];
            const std::size_t eq = pair.find('=');
            if (eq != std::string::npos)
                options.env.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
        }
    }
    return options;
}

// Reads the lines a process has added to its marker file since the last call.
class MarkerReader {
public:
    explicit MarkerReader(fs::path path) : path_(std::move(path)) {}
    std::vector<std::string> NewLines() {
        std::vector<std::string> lines;
        std::ifstream in(path_);
        if (!in) return lines;
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) break;  // a line still being written
            offset_ += line.size() + 1;
            lines.push_back(line);
        }
        return lines;
    }

private:
    fs::path path_;
    std::size_t offset_ = 0;
};

struct Sample {
    double t_s = 0;
    double viewer_mb = 0;
    double browser_mb = 0;
    double bare_mb = 0;
    long viewer_clips = 0;
    long bare_clips = 0;
};

double MbOf(pid_t pid) {
    return static_cast<double>(RssKib(pid)) / 1024.0;
}

double BrowserMb(pid_t viewer) {
    double total = 0;
    for (pid_t p : Descendants(viewer)) total += MbOf(p);
    return total;
}

void Click(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 30);
    XFlush(display);
}

void PrintGrowth(const char* what, const std::vector<Sample>& samples, std::size_t from,
                 double Sample::*mb, long Sample::*clips) {
    const Sample& a = samples[from];
    const Sample& b = samples.back();
    const double growth = b.*mb - a.*mb;
    const long changes = clips != nullptr ? b.*clips - a.*clips : 0;
    std::printf("  %-16s %7.1f MB at %4.0f s -> %7.1f MB at %4.0f s: %+7.1f MB (%+5.1f %%)", what,
                a.*mb, a.t_s, b.*mb, b.t_s, growth, a.*mb > 0 ? 100.0 * growth / (a.*mb) : 0.0);
    if (clips != nullptr && changes > 0)
        std::printf(", %ld clip changes, %+.3f MB per change", changes,
                    growth / static_cast<double>(changes));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const fs::path work = MakeTempFolder("orvo-soak");
    const fs::path card = work / "card";
    const fs::path movies = card / "DCIM" / "MOVIE";
    const fs::path cwd = work / "cwd";
    fs::create_directories(movies);
    fs::create_directories(cwd);
    std::vector<std::string> files;
    for (int i = 0; i < options.clips; ++i) {
        // One chain of recordings, each starting where the previous ended.
        const int start = i * options.clip_seconds;
        char name[32];
        std::snprintf(name, sizeof name, "FILE261209_%02d%02d%02d.MOV", 1, start / 60 % 60,
                      start % 60);
        const fs::path path = movies / name;
        if (!MakeRecording(path, 1280, 720, options.clip_seconds,
                           0x3070B0 + 0x101010u * static_cast<unsigned>(i)))
            return 1;
        files.push_back(path.string());
    }

    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (display == nullptr ||
        !XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
        std::fprintf(stderr, "no X display with the test extension (run under xvfb-run)\n");
        return 1;
    }

    const fs::path log = work / "programs.log";
    const fs::path viewer_markers = work / "viewer.markers";
    const fs::path bare_markers = work / "bare.markers";
    std::vector<std::pair<std::string, std::string>> viewer_env = options.env;
    viewer_env.emplace_back("ORVO_BENCH_MARKERS", viewer_markers.string());
    const double total_s = options.minutes * 60;
    const pid_t viewer = Spawn({options.viewer, card.string()}, cwd, viewer_env, log);
    // Beside the viewer's window, the size of its video surface.
    std::vector<std::string> bare_args = {ORVO_BARE_ENGINE_PATH,
                                          "--geometry",
                                          "622x350+1100+74",
                                          "--markers",
                                          bare_markers.string(),
                                          "--seconds",
                                          std::to_string(static_cast<int>(total_s) + 60)};
    bare_args.insert(bare_args.end(), files.begin(), files.end());
    const pid_t bare = Spawn(bare_args, cwd, options.env, log);

    std::printf("card: %d recordings of %d s; %.1f min, warm-up %.1f min, sample every %d s\n",
                options.clips, options.clip_seconds, options.minutes, options.warmup_minutes,
                options.interval_s);
    for (const auto& [name, value] : options.env)
        std::printf("environment: %s=%s\n", name.c_str(), value.c_str());
    std::printf("%7s %10s %11s %9s %8s %8s\n", "t_s", "viewer_MB", "browser_MB", "bare_MB",
                "v_clips", "b_clips");
    std::fflush(stdout);

    MarkerReader viewer_reader(viewer_markers);
    MarkerReader bare_reader(bare_markers);
    long viewer_clips = 0;
    long bare_clips = 0;
    int presses = 0;
    std::vector<Sample> samples;
    const Clock::time_point start = Clock::now();
    Clock::time_point next_sample = start;
    bool alive = true;
    while (alive) {
        const Clock::time_point now = Clock::now();
        const double t = std::chrono::duration<double>(now - start).count();
        for (const std::string& line : viewer_reader.NewLines()) {
            if (line == "clip") ++viewer_clips;
            int x = 0, y = 0;
            if (std::sscanf(line.c_str(), "cued %d %d", &x, &y) == 2) {
                // A user takes a moment to press PLAY.
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                Click(display, x, y);
                ++presses;
            }
        }
        for (const std::string& line : bare_reader.NewLines())
            if (line.rfind("clip", 0) == 0) ++bare_clips;
        if (now >= next_sample) {
            Sample s{t, MbOf(viewer), BrowserMb(viewer), MbOf(bare), viewer_clips, bare_clips};
            samples.push_back(s);
            std::printf("%7.0f %10.1f %11.1f %9.1f %8ld %8ld\n", s.t_s, s.viewer_mb, s.browser_mb,
                        s.bare_mb, s.viewer_clips, s.bare_clips);
            std::fflush(stdout);
            next_sample += std::chrono::seconds(options.interval_s);
            if (t >= total_s) break;
        }
        if (!IsRunning(viewer)) {
            std::printf("the viewer ended early\n");
            alive = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    Terminate(viewer);
    Terminate(bare);
    XCloseDisplay(display);

    std::size_t from = 0;
    while (from + 1 < samples.size() && samples[from].t_s < options.warmup_minutes * 60) ++from;
    std::printf("PLAY pressed %d times\n", presses);
    if (samples.size() >= 2) {
        std::printf("growth after the warm-up (goal <= 10 %% and <= 0.2 MB per clip change):\n");
        PrintGrowth("viewer", samples, from, &Sample::viewer_mb, &Sample::viewer_clips);
        PrintGrowth("browser helpers", samples, from, &Sample::browser_mb, &Sample::viewer_clips);
        PrintGrowth("bare engine", samples, from, &Sample::bare_mb, &Sample::bare_clips);
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return alive ? 0 : 1;
}
