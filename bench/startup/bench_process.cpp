#include "bench/startup/bench_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/recording_writer.h"
#include "tools/demo_drive.h"

namespace orvo::bench {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

pid_t Spawn(const std::vector<std::string>& args, const fs::path& cwd,
            const std::vector<std::pair<std::string, std::string>>& env, const fs::path& log) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // Own process group, so Terminate reaches the browser's helpers too.
    ::setpgid(0, 0);
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::close(out);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

bool IsRunning(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

void Terminate(pid_t pid, std::chrono::milliseconds grace) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    const Clock::time_point deadline = Clock::now() + grace;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Helpers that outlived their parent.
    ::kill(-pid, SIGKILL);
}

long RssKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

namespace {

// Fields of /proc/PID/stat after the command name (which may hold spaces).
std::vector<std::string> StatFields(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos) return fields;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    while (rest >> field) fields.push_back(field);
    return fields;
}

}  // namespace

double CpuSeconds(pid_t pid) {
    // After the name: state(0) ppid(1) ... utime(11) stime(12).
    const std::vector<std::string> fields = StatFields(pid);
    if (fields.size() < 13) return 0;
    const double ticks =
        static_cast<double>(std::atoll(fields[11].c_str()) + std::atoll(fields[12].c_str()));
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::vector<pid_t> Descendants(pid_t pid) {
    std::vector<std::pair<pid_t, pid_t>> parent_of;  // (pid, ppid)
    if (DIR* proc = ::opendir("/proc")) {
        while (dirent* entry = ::readdir(proc)) {
            const pid_t p = static_cast<pid_t>(std::atoi(entry->d_name));
            if (p <= 0) continue;
            const std::vector<std::string> fields = StatFields(p);
            if (fields.size() > 1)
                parent_of.emplace_back(p, static_cast<pid_t>(std::atoi(fields[1].c_str())));
        }
        ::closedir(proc);
    }
    std::vector<pid_t> found{pid};
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (const auto& [p, parent] : parent_of)
            if (parent == found[i]) found.push_back(p);
    }
    found.erase(found.begin());
    return found;
}

namespace {

bool RunQuiet(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args, fs::current_path(), {}, "/dev/null");
    if (pid < 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FfmpegPath() {
    for (const char* candidate : {"/usr/bin/ffmpeg", "/usr/local/bin/ffmpeg"}) {
        if (::access(candidate, X_OK) == 0) return candidate;
    }
    return "ffmpeg";
}

}  // namespace

bool MakeRecording(const fs::path& path, int width, int height, int seconds, unsigned rgb) {
    if (fs::exists(path)) return true;
    char colour[16];
    std::snprintf(colour, sizeof colour, "0x%06X", rgb & 0xFFFFFFu);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string box = std::to_string(height / 9);
    const fs::path part = path.parent_path() / ("." + path.filename().string() + ".part.mov");
    const bool encoded =
        RunQuiet({FfmpegPath(),
                  "-nostdin",
                  "-y",
                  "-f",
                  "lavfi",
                  "-i",
                  "color=c=" + std::string(colour) + ":size=" + size +
                      ":rate=25:duration=" + std::to_string(seconds),
                  "-f",
                  "lavfi",
                  "-i",
                  "color=c=white:size=" + box + "x" + box + ":rate=25",
                  "-filter_complex",
                  "[0:v][1:v]overlay=x='mod(t*240\\," + std::to_string(width - height / 9) +
                      ")':y=" + std::to_string(height * 5 / 6) + ":shortest=1",
                  "-c:v",
                  "libx264",
                  "-preset",
                  "ultrafast",
                  "-crf",
                  "26",
                  "-pix_fmt",
                  "yuv420p",
                  "-g",
                  "25",
                  "-threads",
                  "2",
                  "-f",
                  "mov",
                  part.string()});
    if (!encoded) {
        std::fprintf(stderr, "ffmpeg failed for %s\n", path.c_str());
        fs::remove(part);
        return false;
    }
    demo::DemoClip clip;
    clip.duration_s = seconds;
    const demo::DemoTelemetry telemetry = demo::MakeDemoTelemetry(clip);
    ts::RecordingSpec recording;
    recording.gps = telemetry.gps;
    recording.gsensor = telemetry.gsensor;
    recording.gps_rate_word = ts::RateWord(static_cast<uint8_t>(demo::kDemoGpsRate));
    recording.g_range_word = ts::RateWord(static_cast<uint8_t>(demo::kDemoGSensorRate),
                                          static_cast<uint8_t>(demo::kDemoGRange));
    ts::LayOutBoxes(ts::TelemetryBoxes(recording)).AppendToFile(part);
    fs::rename(part, path);
    return true;
}

fs::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

}  // namespace orvo::bench
