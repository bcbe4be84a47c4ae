#include "tests/export/clip_recordings.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "metadata/parse_recording.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/recording_writer.h"

namespace orvo::test_support {

namespace fs = std::filesystem;

void MakeTestRecording(const fs::path& path, const TestRecording& r) {
    const std::string seconds = std::to_string(r.seconds);
    std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" + std::to_string(r.width) + "x" +
        std::to_string(r.height) + ":rate=25:duration=" + seconds;
    if (r.audio) command += " -f lavfi -i sine=frequency=440:duration=" + seconds;
    command += std::string(" -c:v libx264 -preset ") + (r.b_frames ? "veryfast" : "ultrafast") +
               " -g " + std::to_string(r.gop) + " -keyint_min " + std::to_string(r.gop) +
               " -sc_threshold 0 -pix_fmt yuv420p -threads 1";
    if (r.audio) command += " -c:a aac -b:a 64k";
    command += " -map_metadata -1 -fflags +bitexact -flags:v +bitexact -f mov " +
               ShellQuote(path.string());
    const CommandResult encoded = RunCommand(command);
    if (encoded.status != 0) throw std::runtime_error("ffmpeg is required: " + encoded.err);
    AppendTestTelemetry(path, r);
}

void AppendTestTelemetry(const fs::path& path, const TestRecording& r) {
    RecordingSpec recording;
    GpsTrackOptions track;
    track.rate = r.gps_rate;
    track.count = static_cast<size_t>(r.seconds) * r.gps_rate;
    track.year = 2024;
    track.month = 5;
    track.day = 18;
    track.hour = r.hour;
    track.minute = r.minute;
    track.second = r.second;
    recording.gps = MakeGpsTrack(track);
    for (size_t i = 0; i < recording.gps.size(); ++i) {
        recording.gps[i].speed = static_cast<uint16_t>(r.speed_base + i);
    }
    recording.gsensor.resize(static_cast<size_t>(r.seconds) * r.g_per_second);
    for (size_t i = 0; i < recording.gsensor.size(); ++i) {
        recording.gsensor[i].x = static_cast<int8_t>(i % 100);
        recording.gsensor[i].y = static_cast<int8_t>(r.speed_base / 100);
    }
    recording.gps_rate_word = RateWord(static_cast<uint8_t>(r.gps_rate));
    recording.g_range_word = RateWord(static_cast<uint8_t>(r.g_per_second), 8);
    recording.date_text = FormatDateText(2024, 5, 18, r.hour, r.minute, r.second);
    LayOutBoxes(TelemetryBoxes(recording)).AppendToFile(path);
}

MediaCheck CheckMedia(const fs::path& path) {
    MediaCheck check;
    const std::string file = ShellQuote(path.string());
    const CommandResult streams =
        RunCommand("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 " + file);
    std::istringstream lines(streams.out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) check.stream_types.push_back(line);
    }
    const CommandResult duration =
        RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 " + file);
    check.duration_s = std::atof(duration.out.c_str());
    const CommandResult frames = RunCommand(
        "ffprobe -v error -select_streams v:0 -count_packets -show_entries "
        "stream=nb_read_packets -of csv=p=0 " +
        file);
    check.video_frames = std::atoi(frames.out.c_str());
    const CommandResult decode = RunCommand("ffmpeg -nostdin -v error -i " + file + " -f null -");
    check.decode_status = decode.status;
    check.decode_errors = decode.err;
    return check;
}

ReadBack ReadRecording(const fs::path& path) {
    ReadBack back;
    if (ParseRecording(path, &back.info) != 0) return back;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> block(back.info.gpsSize);
    in.seekg(static_cast<std::streamoff>(back.info.gpsOffset));
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    back.gps = DecodeGpsBlock(block);
    block.assign(back.info.gsenSize, 0);
    in.seekg(static_cast<std::streamoff>(back.info.gsenOffset));
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    back.gsensor = DecodeGSensorBlock(block);
    return back;
}

}  // namespace orvo::test_support
