#include "bench/metadata/synthetic_card.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/recording_writer.h"

namespace orvo::bench {
namespace fs = std::filesystem;
using namespace orvo::test_support;

namespace {

std::string Stamp(const SyntheticCardOptions& o) {
    std::ostringstream s;
    s << "v1 " << o.recordings << ' ' << o.avi_every << ' ' << o.event_every << ' '
      << o.media_bytes;
    return s.str();
}

// NORM180501_120000.MOV style name for recording i (one per minute).
std::string NameFor(size_t i, const SyntheticCardOptions& o, bool* avi, bool* event) {
    *avi = o.avi_every != 0 && i % o.avi_every == o.avi_every - 1;
    *event = o.event_every != 0 && i % o.event_every == o.event_every - 1;
    const size_t minute_of_day = 12 * 60 + i;  // from 12:00 on 2018-05-01, days roll over
    const size_t day = 1 + minute_of_day / (24 * 60);
    const size_t hour = (minute_of_day / 60) % 24;
    const size_t minute = minute_of_day % 60;
    char name[64];
    std::snprintf(name, sizeof name, "%s18%02zu%02zu_%02zu%02zu%02d.%s", *event ? "EMER" : "NORM",
                  size_t{5} + (day - 1) / 28, 1 + (day - 1) % 28, hour, minute, 0,
                  *avi ? "AVI" : "MOV");
    return name;
}

}  // namespace

SyntheticCard MakeSyntheticCard(const fs::path& root, const SyntheticCardOptions& options) {
    SyntheticCard card;
    card.root = root;
    const fs::path stamp_path = root / ".orvo-card-stamp";
    const std::string stamp = Stamp(options);
    bool reuse = false;
    if (std::ifstream in(stamp_path); in) {
        std::string line;
        std::getline(in, line);
        reuse = line == stamp;
    }
    if (!reuse) {
        fs::remove_all(root);
        fs::create_directories(root / "DCIM" / "MOVIE");
        fs::create_directories(root / "DCIM" / "EVENT");
    }

    RecordingSpec recording;
    recording.media_bytes = options.media_bytes;
    recording.gsensor = MakeGSensorTrack(60 * 50);
    for (size_t i = 0; i < options.recordings; ++i) {
        bool avi = false;
        bool event = false;
        const std::string name = NameFor(i, options, &avi, &event);
        const fs::path path = root / "DCIM" / (event ? "EVENT" : "MOVIE") / name;
        card.files.push_back(path);
        if (reuse) continue;
        GpsTrackOptions gps;
        gps.minute = static_cast<int>(i % 60);
        gps.hour = static_cast<int>((12 + i / 60) % 24);
        gps.latitude = 3731.5 + 0.01 * static_cast<double>(i % 100);
        recording.gps = MakeGpsTrack(gps);
        (avi ? BuildCameraAvi(recording) : BuildCameraMov(recording)).WriteFile(path);
    }
    if (!reuse) std::ofstream(stamp_path) << stamp << '\n';
    return card;
}

uint64_t FloorPass(const std::vector<fs::path>& files) {
    uint64_t total = 0;
    char buffer[4096];
    for (const fs::path& f : files) {
        const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) total += static_cast<uint64_t>(n) + static_cast<unsigned char>(buffer[0]);
        ::close(fd);
    }
    return total;
}

double MedianPassNs(const std::function<void()>& pass, int rounds) {
    pass();  // warm-up: page cache and allocator
    // CPU time of this thread (user + system): the machine that runs the
    // benchmarks is shared, and waiting for a core is no cost of the work.
    auto now_ns = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
    };
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const double start = now_ns();
        pass();
        times.push_back(now_ns() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace orvo::bench
