// Load of a synthetic card of 2 000 recordings (sparse files: the media is a
// hole) against the floor loop: open, read 4 KiB, close for every recording.
// Goal: Load within 2x of the floor. Also reports the catalogue's memory per
// entry. Usage: library_load_bench [CARD_DIR] (default:
// $TMPDIR/orvo-lib-bench-card; kept between runs).

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "metadata/parse_recording.h"
#include "tests/support/recording_writer.h"

namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

constexpr size_t kRecordings = 2000;
constexpr uint64_t kMediaBytes = 150'000'000;  // about a minute of 1080p

std::string Two(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

// One recording a minute from 2018-05-01 00:00; every 4th an AVI, every
// 10th an event in DCIM/EVENT. Reused when a stamp of the same size exists.
std::vector<fs::path> MakeCard(const fs::path& root) {
    std::vector<fs::path> files;
    for (size_t i = 0; i < kRecordings; ++i) {
        const int minutes = static_cast<int>(i);
        const int day = 1 + minutes / 1440;
        const int hour = minutes / 60 % 24;
        const int minute = minutes % 60;
        const bool event = i % 10 == 9;
        const std::string name = std::string(event ? "EMER" : "FILE") + "1805" + Two(day) + "_" +
                                 Two(hour) + Two(minute) + "00" + (i % 4 == 3 ? ".AVI" : ".MOV");
        files.push_back(root / (event ? "DCIM/EVENT" : "DCIM/MOVIE") / name);
    }
    const fs::path stamp = root / ".stamp";
    if (std::ifstream(stamp).good()) return files;
    for (size_t i = 0; i < files.size(); ++i) {
        const int minutes = static_cast<int>(i);
        ts::RecordingSpec recording;
        recording.duration_ms = 60000;
        recording.media_bytes = kMediaBytes;
        ts::GpsTrackOptions track;
        track.day = 1 + minutes / 1440;
        track.hour = minutes / 60 % 24;
        track.minute = minutes % 60;
        recording.gps = ts::MakeGpsTrack(track);
        recording.gsensor = ts::MakeGSensorTrack(600, static_cast<unsigned>(i));
        if (i % 2 == 0) {
            recording.date_text =
                ts::FormatDateText(2018, 5, track.day, track.hour, track.minute, 0);
        }
        fs::create_directories(files[i].parent_path());
        const bool avi = files[i].extension() == ".AVI";
        (avi ? ts::BuildCameraAvi(recording) : ts::BuildCameraMov(recording)).WriteFile(files[i]);
    }
    std::ofstream(stamp) << kRecordings << '\n';
    return files;
}

uint64_t FloorPass(const std::vector<fs::path>& files) {
    uint64_t bytes = 0;
    char buffer[4096];
    for (const fs::path& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) bytes += static_cast<uint64_t>(n);
        ::close(fd);
    }
    return bytes;
}

template <typename F>
double TimeNs(F&& pass) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path root =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "orvo-lib-bench-card";
    const std::vector<fs::path> files = MakeCard(root);
    const double n = static_cast<double>(files.size());

    uint64_t sink = 0;
    orvo::CClipCatalog catalog;
    auto floor_pass = [&] { sink += FloorPass(files); };
    auto load_pass = [&] { sink += static_cast<uint64_t>(catalog.Load(root.string(), "")); };
    // The parsers alone, for telling their share from the catalogue's.
    auto parse_pass = [&] {
        for (const fs::path& file : files) {
            orvo::ClipInfo info;
            sink += orvo::ParseRecording(file, &info) == 0 ? 1 : 0;
        }
    };
    floor_pass();
    load_pass();
    // Interleaved rounds, so that load from other processes hits both alike.
    std::vector<double> floor_runs;
    std::vector<double> load_runs;
    std::vector<double> parse_runs;
    for (int round = 0; round < 9; ++round) {
        floor_runs.push_back(TimeNs(floor_pass));
        load_runs.push_back(TimeNs(load_pass));
        parse_runs.push_back(TimeNs(parse_pass));
    }
    const auto median = [](std::vector<double>& runs) {
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    };
    const double floor_ns = median(floor_runs);
    const double load_ns = median(load_runs);
    const double parse_ns = median(parse_runs);

    // Heap held by a loaded catalogue (entries, rows, groups, strings).
    catalog.Reset();
    orvo::CClipCatalog fresh;
    const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    fresh.Load(root.string(), "");
    const size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
    const double per_entry = static_cast<double>(after - before) / fresh.Count();

    std::printf("card: %zu recordings in %s (%d loaded, %zu groups)\n", files.size(), root.c_str(),
                fresh.Count(), fresh.groups().size());
    std::printf("floor (open, read 4 KiB, close): %8.2f us/file\n", floor_ns / n / 1000.0);
    std::printf("Load (walk, parse, sort, group): %8.2f us/file\n", load_ns / n / 1000.0);
    std::printf("parsers alone (ParseRecording):  %8.2f us/file\n", parse_ns / n / 1000.0);
    std::printf("ratio Load/floor:                %8.2f  (goal <= 2.00)\n", load_ns / floor_ns);
    std::printf(
        "memory per entry:                %8.0f bytes (sizeof ClipEntry %zu, ClipRow %zu)\n",
        per_entry, sizeof(orvo::ClipEntry), sizeof(orvo::ClipRow));
    return sink == 0 || fresh.Count() != static_cast<int>(files.size()) ? 1 : 0;
}
