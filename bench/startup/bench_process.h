#pragma once

// Helpers shared by the whole-process benchmarks (start-up and soak): child
// processes, their /proc figures, test recordings and medians.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace orvo::bench {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d);
double Median(std::vector<double> values);

// Starts `args` (args[0] a path) in `cwd` with extra environment variables;
// its output goes to `log` (appended), so engine chatter does not mix with
// the report. -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& cwd,
            const std::vector<std::pair<std::string, std::string>>& env,
            const std::filesystem::path& log);
// SIGTERM, then SIGKILL after `grace`; reaps the child and whatever it left
// behind in its process group.
void Terminate(pid_t pid, std::chrono::milliseconds grace = std::chrono::milliseconds(2000));
bool IsRunning(pid_t pid);

// Resident set in KiB (VmRSS), 0 when the process is gone.
long RssKib(pid_t pid);
// User + system CPU seconds the process has used so far.
double CpuSeconds(pid_t pid);
// Every process below `pid` (the browser's helpers of the viewer).
std::vector<pid_t> Descendants(pid_t pid);

// A recording named by the camera's scheme with the camera's telemetry
// (GPS and G-sensor at 10 Hz) behind ffmpeg's H.264 media: a flat `rgb`
// colour with a moving white square, so the picture is easy to find on the
// screen. Kept when it already exists.
bool MakeRecording(const std::filesystem::path& path, int width, int height, int seconds,
                   unsigned rgb);

// A fresh folder under the temporary directory.
std::filesystem::path MakeTempFolder(const std::string& prefix);

}  // namespace orvo::bench
