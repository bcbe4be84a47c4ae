// clip_export_bench [FOLDER]: exports a 60-s span across two 1080p
// recordings (12 Mbit/s, 25 fps, GPS and G-sensor at 10 Hz) and prints the
// speed as a multiple of real time and the ratio to a plain "cp" of the
// same bytes into the same folder. The recordings are encoded once into
// FOLDER (default /tmp/orvo-clip-bench) and kept for later runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "export/clip_exporter.h"
#include "tests/cli/cli_runner.h"
#include "tests/export/clip_recordings.h"

namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

constexpr int kRuns = 7;
constexpr int64_t kFromMs = 10'000;
constexpr int64_t kToMs = 70'000;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// 1080p with moving noise, so the encoder spends the bit rate a camera does.
void MakeRecording(const fs::path& path, int start_second) {
    if (fs::exists(path)) return;
    std::printf("encoding %s ...\n", path.c_str());
    std::fflush(stdout);
    const fs::path temp = path.parent_path() / ("." + path.filename().string());
    const ts::CommandResult r = ts::RunCommand(
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=40 "
        "-vf noise=alls=12:allf=t -c:v libx264 -preset ultrafast -b:v 12M -maxrate 12M "
        "-bufsize 12M -g 25 -pix_fmt yuv420p -f mov " +
        ts::ShellQuote(temp.string()));
    if (r.status != 0) throw std::runtime_error("ffmpeg failed: " + r.err);
    // Telemetry as the tests lay it out, appended to the encoded file.
    ts::AppendTestTelemetry(temp, {.seconds = 40, .second = start_second});
    fs::rename(temp, path);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const fs::path folder = argc > 1 ? argv[1] : "/tmp/orvo-clip-bench";
        fs::create_directories(folder);
        const fs::path a = folder / "FILE240518_120000.MOV";
        const fs::path b = folder / "FILE240518_120040.MOV";
        MakeRecording(a, 0);
        MakeRecording(b, 40);
        const fs::path out = folder / "out";
        fs::create_directories(out);

        std::vector<double> export_s;
        std::vector<double> copy_s;
        uint64_t bytes = 0;
        double span_s = 0;
        for (int run = 0; run < kRuns; ++run) {
            const fs::path target = out / "CLIP.MOV";
            fs::remove(target);
            const auto t0 = std::chrono::steady_clock::now();
            const orvo::ClipExportPlan plan = orvo::PlanClipExport({a, b}, kFromMs, kToMs);
            const orvo::ClipExportResult r = orvo::WriteClipExport(plan, target, true, nullptr);
            const auto t1 = std::chrono::steady_clock::now();
            if (r.status != orvo::ClipExportStatus::kOk) {
                std::fprintf(stderr, "export failed: %s %s\n", orvo::ClipExportStatusText(r.status),
                             r.detail.c_str());
                return 1;
            }
            bytes = r.bytes;
            span_s = static_cast<double>(r.actualEndUs - r.actualStartUs) / 1e6;
            const fs::path copy = out / "COPY.MOV";
            fs::remove(copy);
            const auto c0 = std::chrono::steady_clock::now();
            const ts::CommandResult cp = ts::RunCommand("cp " + ts::ShellQuote(target.string()) +
                                                        " " + ts::ShellQuote(copy.string()));
            const auto c1 = std::chrono::steady_clock::now();
            if (cp.status != 0) return 1;
            export_s.push_back(Seconds(t1 - t0));
            copy_s.push_back(Seconds(c1 - c0));
        }
        const double e = Median(export_s);
        const double c = Median(copy_s);
        std::printf("span %.2f s, %.1f MB, %d runs (median)\n", span_s, bytes / 1e6, kRuns);
        std::printf("export %.3f s = %.0fx real time (goal >= 50x)\n", e, span_s / e);
        std::printf("cp of the same bytes %.3f s; export / cp = %.2f\n", c, e / c);
        return 0;
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "clip_export_bench: %s\n", ex.what());
        return 1;
    }
}
