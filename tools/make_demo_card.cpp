// orvo-make-demo-card OUTDIR: writes a small memory card of dash-camera
// recordings for trying the viewer: H.264 pictures encoded by ffmpeg with the
// file name and the elapsed time burned in (so telemetry sync can be checked
// by eye), and the camera's telemetry added behind the media. Recordings
// that already exist are kept, so the card is generated only once; each one
// is written under a hidden temporary name first and renamed when complete.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "metadata/parse_recording.h"
#include "tests/support/recording_writer.h"
#include "tools/demo_drive.h"

namespace orvo::demo {
namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::execvp(argv[0], argv.data());
        std::perror(argv[0]);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string TwoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

// Colons are escaped for ffmpeg's filter syntax.
std::string StartText(const DemoClip& clip) {
    return std::to_string(kDemoYear) + "-" + TwoDigits(kDemoMonth) + "-" + TwoDigits(kDemoDay) +
           " " + TwoDigits(clip.hour) + "\\:" + TwoDigits(clip.minute) +
           "\\:" + TwoDigits(clip.second);
}

bool EncodePicture(const DemoClip& clip, bool avi, const fs::path& out) {
    const std::string duration = std::to_string(clip.duration_s);
    const std::string font = std::string("fontfile=") + kFont;
    const std::string filter =
        "[0:v][1:v]overlay=x='mod(t*240\\,1200)':y=600:shortest=1,"
        "drawtext=" +
        font + ":text='" + clip.file_name + "  " + StartText(clip) +
        "':x=40:y=40:fontsize=40:fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=8,"
        "drawtext=" +
        font +
        ":text='%{pts\\:hms}'"
        ":x=40:y=100:fontsize=72:fontcolor=yellow:box=1:boxcolor=black@0.6:boxborderw=8";
    return RunProgram({
        "ffmpeg",
        "-nostdin",
        "-loglevel",
        "error",
        "-y",
        "-f",
        "lavfi",
        "-i",
        "smptehdbars=size=1280x720:rate=25:duration=" + duration,
        "-f",
        "lavfi",
        "-i",
        "color=c=white:size=80x80:rate=25",
        "-filter_complex",
        filter,
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
        "-fflags",
        "+bitexact",
        "-flags:v",
        "+bitexact",
        "-map_metadata",
        "-1",
        "-f",
        avi ? "avi" : "mov",
        out.string(),
    });
}

uint32_t Le32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

// The camera's AVI headers hold only avih, strh, strf and JUNK chunks, and
// its parser does not skip others by their size. ffmpeg adds a video
// properties chunk ("vprp"); turning it into "JUNK" keeps the file a valid
// AVI that every reader (the camera's parser included) walks past.
bool JunkExtraHeaderChunks(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) return false;
    std::string head(64 * 1024, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    bool ok = true;
    // RIFF "AVI " then LIST "hdrl": walk its chunks and those of its lists.
    std::vector<std::pair<size_t, size_t>> ranges;  // [begin, end) of chunk runs
    if (head.size() >= 24 && head.compare(12, 4, "LIST") == 0 && head.compare(20, 4, "hdrl") == 0) {
        ranges.emplace_back(24, std::min<size_t>(head.size(), 20 + Le32(head, 16)));
    }
    while (ok && !ranges.empty()) {
        auto [pos, end] = ranges.back();
        ranges.pop_back();
        while (pos + 8 <= end) {
            const std::string code = head.substr(pos, 4);
            const size_t size = Le32(head, pos + 4);
            if (code == "LIST" && pos + 12 <= end) {
                ranges.emplace_back(pos + 12, std::min(end, pos + 8 + size));
            } else if (code != "avih" && code != "strh" && code != "strf" && code != "JUNK" &&
                       code != "indx") {
                ok = std::fseek(file, static_cast<long>(pos), SEEK_SET) == 0 &&
                     std::fwrite("JUNK", 1, 4, file) == 4;
            }
            pos += 8 + size + (size & 1);
        }
    }
    ok = (std::fclose(file) == 0) && ok;
    return ok;
}

ts::RecordingSpec TelemetrySpec(const DemoClip& clip) {
    const DemoTelemetry telemetry = MakeDemoTelemetry(clip);
    ts::RecordingSpec recording;
    recording.gps = telemetry.gps;
    recording.gsensor = telemetry.gsensor;
    recording.gps_rate_word = ts::RateWord(static_cast<uint8_t>(kDemoGpsRate));
    recording.g_range_word =
        ts::RateWord(static_cast<uint8_t>(kDemoGSensorRate), static_cast<uint8_t>(kDemoGRange));
    if (clip.date_text) {
        recording.date_text = ts::FormatDateText(kDemoYear, kDemoMonth, kDemoDay, clip.hour,
                                                 clip.minute, clip.second);
    }
    return recording;
}

bool MakeRecording(const fs::path& card, const DemoClip& clip) {
    const fs::path folder = card / clip.sub_folder;
    const fs::path target = folder / clip.file_name;
    if (fs::exists(target)) return true;
    fs::create_directories(folder);
    const bool avi = clip.file_name.ends_with(".AVI");
    // Hidden (a scan skips it) and with the real extension, which picks the
    // parser for the final check.
    const std::string stem = clip.file_name.substr(0, clip.file_name.size() - 4);
    const fs::path temp = folder / ("." + stem + ".part" + clip.file_name.substr(stem.size()));
    std::cout << "  " << clip.sub_folder << "/" << clip.file_name << std::endl;
    if (!EncodePicture(clip, avi, temp)) {
        std::cerr << "orvo-make-demo-card: ffmpeg failed for " << clip.file_name << '\n';
        fs::remove(temp);
        return false;
    }
    const ts::RecordingSpec recording = TelemetrySpec(clip);
    if (avi) {
        if (!JunkExtraHeaderChunks(temp)) {
            std::cerr << "orvo-make-demo-card: cannot patch " << clip.file_name << '\n';
            fs::remove(temp);
            return false;
        }
        ts::LayOutChunks(ts::TelemetryChunks(recording)).AppendToFile(temp);
    } else {
        ts::LayOutBoxes(ts::TelemetryBoxes(recording)).AppendToFile(temp);
    }
    if (ParseRecording(temp, nullptr) != 0) {
        std::cerr << "orvo-make-demo-card: " << clip.file_name
                  << " is not accepted by the parser\n";
        fs::remove(temp);
        return false;
    }
    fs::rename(temp, target);
    return true;
}

int Main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: orvo-make-demo-card OUTDIR\n";
        return 2;
    }
    const fs::path card = argv[1];
    fs::create_directories(card);
    std::cout << "Demo card in " << card.string() << ":" << std::endl;
    for (const DemoClip& clip : DemoClips()) {
        if (!MakeRecording(card, clip)) return 1;
    }
    return 0;
}

}  // namespace
}  // namespace orvo::demo

int main(int argc, char** argv) {
    try {
        return orvo::demo::Main(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "orvo-make-demo-card: " << e.what() << '\n';
        return 1;
    }
}
