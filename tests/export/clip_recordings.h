#pragma once

// Camera recordings for the clip export tests: H.264 (and AAC) encoded by
// ffmpeg, with the camera's telemetry appended behind the media. Every GPS
// record and G-sensor sample tells its index (speed = speed_base + index,
// x = index % 100), so a test can say which source record it sees.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo::test_support {

struct TestRecording {
    int seconds = 3;
    int width = 320;
    int height = 240;
    bool audio = false;
    bool b_frames = false;                  // reordered pictures (decode order differs)
    int gop = 25;                           // frames per keyframe at 25 fps
    int hour = 12, minute = 0, second = 0;  // start, 2024-05-18 local time
    unsigned gps_rate = 10;
    unsigned g_per_second = 10;
    uint16_t speed_base = 0;
};

// Encodes the recording at path; throws std::runtime_error when ffmpeg fails.
void MakeTestRecording(const std::filesystem::path& path, const TestRecording& recording);
// Appends the recording's telemetry to a file another encoder wrote.
void AppendTestTelemetry(const std::filesystem::path& path, const TestRecording& recording);

// What ffprobe and a full decode say of a file.
struct MediaCheck {
    std::vector<std::string> stream_types;  // "video", "audio" in stream order
    double duration_s = 0;
    int video_frames = 0;
    std::string decode_errors;  // ffmpeg -v error ... -f null - output
    int decode_status = -1;
};
MediaCheck CheckMedia(const std::filesystem::path& path);

// The GPS records and G-sensor samples a recording's parser points at.
struct ReadBack {
    ClipInfo info;
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
};
// Parses path; info.durationMs is 0 when the parser rejects it.
ReadBack ReadRecording(const std::filesystem::path& path);

}  // namespace orvo::test_support
