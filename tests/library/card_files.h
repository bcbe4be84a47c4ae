#pragma once

// Temporary folders and camera recordings on disk for the catalogue tests.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/recording_writer.h"
#include "tests/support/temp_dir.h"

namespace orvo::testing {

using test_support::TempFolder;

// A file's bytes; empty when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A recording with an IDIT date text "2018-05-01 hh:mm:ss"; its duration in
// milliseconds. The container follows the extension (".AVI" or else MOV).
struct RecordingOptions {
    int hour = 12;
    int minute = 0;
    int second = 0;
    uint32_t duration_ms = 60000;
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
    std::array<uint8_t, 4> gps_rate_word = {10, 0, 0, 0};
    std::array<uint8_t, 4> g_range_word = {0, 8, 0, 0};
    bool dated = true;
    uint16_t width = 1920;
    uint16_t height = 1080;
};

inline void WriteRecording(const std::filesystem::path& path, const RecordingOptions& options) {
    using namespace orvo::test_support;
    std::filesystem::create_directories(path.parent_path());
    RecordingSpec recording;
    recording.width = options.width;
    recording.height = options.height;
    recording.duration_ms = options.duration_ms;
    recording.gps = options.gps;
    recording.gsensor = options.gsensor;
    recording.gps_rate_word = options.gps_rate_word;
    recording.g_range_word = options.g_range_word;
    if (options.dated) {
        recording.date_text =
            FormatDateText(2018, 5, 1, options.hour, options.minute, options.second);
    }
    const std::string name = path.filename().string();
    const bool avi = name.size() >= 4 && name.substr(name.size() - 4) == ".AVI";
    (avi ? BuildCameraAvi(recording) : BuildCameraMov(recording)).WriteFile(path);
}

inline void WriteRecording(const std::filesystem::path& path, int hour, int minute, int second,
                           uint32_t duration_ms = 60000) {
    RecordingOptions options;
    options.hour = hour;
    options.minute = minute;
    options.second = second;
    options.duration_ms = duration_ms;
    WriteRecording(path, options);
}

// A GPS record with a fix at a stored NMEA position.
inline GpsRecord Fix(double latitude, double longitude, uint16_t speed = 0, uint8_t heading = 0,
                     int32_t altitude = 0) {
    GpsRecord r;
    r.latitude = latitude;
    r.longitude = longitude;
    r.speed = speed;
    r.heading = heading;
    r.altitude = altitude;
    r.flags = 1;
    return r;
}

}  // namespace orvo::testing
