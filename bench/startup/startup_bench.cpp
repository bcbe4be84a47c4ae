// Start-up of the whole viewer against the bare engine, from exec to the
// first decoded picture on the screen, and the CPU both use while playing.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/startup/startup_bench
//       [--runs N] [--cpu-runs N] [--cpu-seconds S] [--no-cpu] [--viewer PATH]
//       [--compare PATH] [--keep-recordings DIR]
//
// --keep-recordings writes the recordings into DIR (file/, folder/, cpu/)
// and ends, for profiling the programs by hand on the same files.
//
// --compare runs a second build of the viewer on the file in the same
// rotation (before and after a change, under the same load).
//
// Runs alternate (viewer on a file, bare engine, viewer on a folder, in a
// rotating order) so that the machine's load falls on all of them alike.
// The recording is one flat colour; the picture counts as shown when half of
// the video frame's screen area has that colour. The viewer starts without a
// settings file, so its window is 1000 x 680 at the top-left corner and its
// video surface is the rectangle kSurface; the bare engine's window is put
// exactly there. Both run in the environment the viewer makes for itself
// (without a session bus and its launcher, the bus's standard address), so
// that they differ only in the toolkit and the window.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/process_setup.h"
#include "bench/startup/bench_process.h"
#include "bench/startup/screen_probe.h"

namespace {

namespace fs = std::filesystem;
using namespace orvo::bench;

constexpr unsigned kColour = 0xE040C0;
// The viewer's video frame (1007) and the surface inside it for a 16:9
// recording, in a 1000 x 680 window at (0, 0).
constexpr ScreenRect kFrame{15, 72, 715, 354};
constexpr ScreenRect kSurface{61, 74, 622, 350};
constexpr double kShownShare = 0.5;
constexpr double kGoneShare = 0.02;

struct Options {
    int runs = 9;
    int cpu_runs = 3;
    int cpu_seconds = 30;
    bool cpu = true;
    std::string viewer = ORVO_VIEWER_PATH;  // another build, for comparisons
    std::string compare;                    // a second build run alongside
    std::string keep;                       // only write the recordings there
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) options.runs = std::max(1, std::atoi(argv[++i]));
        if (arg == "--cpu-runs" && i + 1 < argc)
            options.cpu_runs = std::max(1, std::atoi(argv[++i]));
        if (arg == "--cpu-seconds" && i + 1 < argc)
            options.cpu_seconds = std::max(1, std::atoi(argv[++i]));
        if (arg == "--no-cpu") options.cpu = false;
        if (arg == "--viewer" && i + 1 < argc) options.viewer = argv[++i];
        if (arg == "--compare" && i + 1 < argc) options.compare = argv[++i];
        if (arg == "--keep-recordings" && i + 1 < argc) options.keep = argv[++i];
    }
    return options;
}

struct Variant {
    std::string name;
    std::vector<std::string> args;
    std::vector<double> mapped_ms;
    std::vector<double> frame_ms;
    int failures = 0;
    // The start-up steps the program noted (ms after exec), in the order
    // they first came.
    std::vector<std::string> stage_order;
    std::map<std::string, std::vector<double>> stage_ms;
};

Variant MakeVariant(std::string name, std::vector<std::string> args) {
    Variant variant;
    variant.name = std::move(name);
    variant.args = std::move(args);
    return variant;
}

std::string Geometry(const ScreenRect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
           "+" + std::to_string(r.y);
}

void WaitForClearScreen(ScreenProbe& probe) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (probe.ColourShare() > kGoneShare && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Let the X server and the file cache settle between runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// Starts the program and waits for its picture; the child is left running
// when `keep` is set (the CPU measurement continues with it).
std::optional<Clock::time_point> StartAndWaitForPicture(const std::vector<std::string>& args,
                                                        const fs::path& cwd, const fs::path& log,
                                                        ScreenProbe& probe, pid_t& pid,
                                                        std::optional<Clock::time_point>& mapped,
                                                        Clock::time_point& t0,
                                                        const fs::path& markers = {}) {
    WaitForClearScreen(probe);
    probe.Reset();
    std::vector<std::pair<std::string, std::string>> env;
    if (!markers.empty()) env.emplace_back("ORVO_BENCH_MARKERS", markers.string());
    t0 = Clock::now();
    pid = Spawn(args, cwd, env, log);
    const Clock::time_point deadline = t0 + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        mapped = probe.MappedAt(600);
        if (probe.ColourShare() >= kShownShare) return Clock::now();
        if (!IsRunning(pid)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    mapped = probe.MappedAt(600);
    return std::nullopt;
}

// The first time each step was noted in the marker file, as ms after t0.
void ReadStages(const fs::path& markers, Clock::time_point t0, Variant& variant) {
    std::ifstream in(markers);
    std::string word, name;
    long long ns = 0;
    std::set<std::string> seen;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (!(fields >> word >> name >> ns) || word != "stage" || !seen.insert(name).second)
            continue;
        const Clock::time_point at{std::chrono::nanoseconds(ns)};
        if (variant.stage_ms.count(name) == 0) variant.stage_order.push_back(name);
        variant.stage_ms[name].push_back(Ms(at - t0));
    }
}

void RunOnce(Variant& variant, const fs::path& cwd, const fs::path& log, ScreenProbe& probe,
             bool counted) {
    pid_t pid = -1;
    std::optional<Clock::time_point> mapped;
    Clock::time_point t0;
    const fs::path markers = log.parent_path() / "stages.txt";
    std::error_code ignored;
    fs::remove(markers, ignored);
    const auto frame =
        StartAndWaitForPicture(variant.args, cwd, log, probe, pid, mapped, t0, markers);
    // Steps after the picture (the browser's start) are part of the story.
    if (frame) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Terminate(pid);
    if (!counted) return;
    if (!frame) {
        ++variant.failures;
        return;
    }
    variant.frame_ms.push_back(Ms(*frame - t0));
    if (mapped) variant.mapped_ms.push_back(Ms(*mapped - t0));
    ReadStages(markers, t0, variant);
}

void ReportStages(const Variant& variant) {
    if (variant.stage_order.empty()) return;
    std::printf("  %s:", variant.name.c_str());
    for (const std::string& name : variant.stage_order) {
        const std::vector<double>& v = variant.stage_ms.at(name);
        std::printf(" %s %.0f", name.c_str(), Median(v));
        if (v.size() != variant.frame_ms.size()) std::printf(" (%zu runs)", v.size());
    }
    std::printf("\n");
}

struct CpuUse {
    double main = 0;   // the process itself
    double total = 0;  // with every process below it
};

std::map<pid_t, double> CpuOfTree(pid_t pid) {
    std::map<pid_t, double> cpu;
    cpu[pid] = CpuSeconds(pid);
    for (pid_t child : Descendants(pid)) cpu[child] = CpuSeconds(child);
    return cpu;
}

std::optional<CpuUse> MeasureCpu(const std::vector<std::string>& args, const fs::path& cwd,
                                 const fs::path& log, ScreenProbe& probe, int seconds) {
    pid_t pid = -1;
    std::optional<Clock::time_point> mapped;
    Clock::time_point t0;
    const auto frame = StartAndWaitForPicture(args, cwd, log, probe, pid, mapped, t0);
    if (!frame) {
        Terminate(pid);
        return std::nullopt;
    }
    // Start-up is over once the picture runs and the map page has loaded.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    const std::map<pid_t, double> before = CpuOfTree(pid);
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const std::map<pid_t, double> after = CpuOfTree(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    Terminate(pid);
    CpuUse use;
    for (const auto& [p, cpu] : after) {
        const auto it = before.find(p);
        const double used = cpu - (it != before.end() ? it->second : 0.0);
        use.total += used;
        if (p == pid) use.main = used;
    }
    // As a share of one core.
    use.main /= wall;
    use.total /= wall;
    return use;
}

void Report(const char* what, const std::vector<double>& v) {
    if (v.empty()) {
        std::printf("  %-34s no result\n", what);
        return;
    }
    std::printf("  %-34s median %7.1f ms   min %7.1f   max %7.1f   (%zu runs)\n", what, Median(v),
                *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()),
                v.size());
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    orvo::SkipMissingBusLauncher();
    if (const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        std::printf("session bus for both programs: %s\n", bus);
    const fs::path work =
        options.keep.empty() ? MakeTempFolder("orvo-startup") : fs::path(options.keep);
    const fs::path file_dir = work / "file";
    const fs::path folder_dir = work / "folder";
    const fs::path cpu_dir = work / "cpu";
    const fs::path cwd = work / "cwd";
    for (const fs::path& p : {file_dir, folder_dir, cpu_dir, cwd}) fs::create_directories(p);
    const fs::path log = work / "programs.log";
    // 720p for the start-up, 1080p for the CPU share, as a camera records.
    const fs::path clip = file_dir / "FILE261209_010000.MOV";
    const fs::path folder_clip = folder_dir / "FILE261209_010000.MOV";
    const fs::path cpu_clip = cpu_dir / "FILE261209_020000.MOV";
    if (!MakeRecording(clip, 1280, 720, 10, kColour)) return 1;
    fs::copy_file(clip, folder_clip);
    if (options.cpu && !MakeRecording(cpu_clip, 1920, 1080, options.cpu_seconds + 15, kColour))
        return 1;
    if (!options.keep.empty()) return 0;

    ScreenProbe probe(kFrame, kColour);
    if (!probe.ok()) {
        std::fprintf(stderr, "no X display with shared memory (run under xvfb-run)\n");
        return 1;
    }

    const std::string viewer = options.viewer;
    const std::string bare = ORVO_BARE_ENGINE_PATH;
    std::vector<Variant> variants = {
        MakeVariant("viewer, file", {viewer, clip.string()}),
        MakeVariant("bare engine", {bare, "--geometry", Geometry(kSurface), clip.string()}),
        MakeVariant("viewer, folder", {viewer, folder_dir.string()}),
    };
    if (!options.compare.empty())
        variants.push_back(MakeVariant("compared build, file", {options.compare, clip.string()}));
    // One uncounted round warms the file cache and the engine's plug-in cache.
    for (Variant& v : variants) RunOnce(v, cwd, log, probe, false);
    for (int run = 0; run < options.runs; ++run) {
        for (std::size_t k = 0; k < variants.size(); ++k)
            RunOnce(variants[(run + k) % variants.size()], cwd, log, probe, true);
    }

    std::printf("exec -> first picture on screen (720p H.264, alternating):\n");
    for (const Variant& v : variants) Report(v.name.c_str(), v.frame_ms);
    std::printf("exec -> window mapped:\n");
    for (const Variant& v : variants) Report(v.name.c_str(), v.mapped_ms);
    std::printf("start-up steps, ms after exec (medians; 'playing' is the engine's report):\n");
    for (const Variant& v : variants) ReportStages(v);
    for (const Variant& v : variants)
        if (v.failures > 0)
            std::printf("  %s: %d runs without a picture\n", v.name.c_str(), v.failures);
    const double viewer_frame = Median(variants[0].frame_ms);
    const double bare_frame = Median(variants[1].frame_ms);
    const double mapped = Median(variants[0].mapped_ms);
    const double frame_ratio = bare_frame > 0 ? viewer_frame / bare_frame : 0;
    std::printf("first picture, viewer / bare engine: %.3f (goal <= 1.15)\n", frame_ratio);
    if (variants.size() > 3 && bare_frame > 0) {
        std::printf(
            "first picture, compared build / bare engine: %.3f; its window mapped after "
            "%.0f ms\n",
            Median(variants[3].frame_ms) / bare_frame, Median(variants[3].mapped_ms));
    }
    std::printf("viewer window mapped after %.0f ms (goal <= 250 ms)\n", mapped);
    std::printf("folder mode: first picture %.0f ms after the file mode's (delayed open)\n",
                Median(variants[2].frame_ms) - viewer_frame);

    if (options.cpu) {
        std::vector<double> viewer_main, viewer_total, bare_total;
        const std::vector<std::string> viewer_args = {viewer, cpu_clip.string()};
        const std::vector<std::string> bare_args = {bare, "--geometry", Geometry(kSurface),
                                                    cpu_clip.string()};
        for (int run = 0; run < options.cpu_runs; ++run) {
            for (int k = 0; k < 2; ++k) {
                const bool is_viewer = (run + k) % 2 == 0;
                const auto use = MeasureCpu(is_viewer ? viewer_args : bare_args, cwd, log, probe,
                                            options.cpu_seconds);
                if (!use) {
                    std::printf("  %s: CPU run without a picture\n", is_viewer ? "viewer" : "bare");
                    continue;
                }
                if (is_viewer) {
                    viewer_main.push_back(use->main);
                    viewer_total.push_back(use->total);
                } else {
                    bare_total.push_back(use->total);
                }
            }
        }
        std::printf(
            "CPU while playing 1080p for %d s after start-up (share of one core, medians "
            "of %d runs):\n",
            options.cpu_seconds, options.cpu_runs);
        std::printf("  viewer process              %.3f\n", Median(viewer_main));
        std::printf("  viewer with browser helpers %.3f\n", Median(viewer_total));
        std::printf("  bare engine                 %.3f\n", Median(bare_total));
        const double bare_cpu = Median(bare_total);
        if (bare_cpu > 0) {
            std::printf(
                "CPU, viewer / bare engine: %.3f (goal <= 1.10); with browser helpers %.3f\n",
                Median(viewer_main) / bare_cpu, Median(viewer_total) / bare_cpu);
        }
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
