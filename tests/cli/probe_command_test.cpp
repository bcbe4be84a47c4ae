#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "metadata/telemetry.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/recording_writer.h"

namespace orvo {
namespace {

using namespace test_support;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

const std::vector<std::string> kInfoKeys = {
    "path",       "accepted", "gpsOffset",   "gpsSize",   "gsenOffset",
    "gsenSize",   "width",    "height",      "startTime", "lengthSeconds",
    "durationMs", "fileSize", "gpsRateWord", "gRangeWord"};

std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
    return lines;
}

std::vector<std::string> Keys(const Json& object) {
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) keys.push_back(it.key());
    return keys;
}

std::string Probe(const std::vector<fs::path>& files) {
    std::string command = ShellQuote(ORVO_INFO_PATH) + " probe";
    for (const fs::path& f : files) command += " " + ShellQuote(f.string());
    return command;
}

class ProbeCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("TZ", "UTC", 1);  // inherited by orvo-info
        dir_ = fs::temp_directory_path() / ("orvo-probe-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        // Two seconds of H.264 at 25 fps with sound, as the camera records.
        // The sample aspect ratio is cleared so that the AVI muxer writes no
        // "vprp" chunk, which the AVI walk cannot step over.
        const std::string encode =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
            "-f lavfi -i sine=duration=2 -vf setsar=0 -c:v libx264 -pix_fmt yuv420p -shortest ";
        const CommandResult mov = RunCommand(encode + "-c:a aac " +
                                             ShellQuote((dir_ / "NORM180501_120000.MOV").string()));
        ASSERT_EQ(mov.status, 0) << "ffmpeg is required: " << mov.err;
        const CommandResult avi = RunCommand(encode + "-c:a pcm_s16le " +
                                             ShellQuote((dir_ / "NORM180501_120100.AVI").string()));
        ASSERT_EQ(avi.status, 0) << "ffmpeg is required: " << avi.err;
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    static RecordingSpec Telemetry() {
        RecordingSpec recording;
        GpsTrackOptions gps;
        gps.count = 20;
        gps.rate = 10;
        gps.undated_leading = 3;  // first fix 0.3 s in: start time stays 12:00:00
        recording.gps = MakeGpsTrack(gps);
        recording.gsensor = MakeGSensorTrack(100);
        recording.gps_rate_word = RateWord(10, 0, 0, 0xAB);
        recording.g_range_word = RateWord(0, 4, 0, 0);
        return recording;
    }

    static inline fs::path dir_;
};

TEST_F(ProbeCommandTest, FfmpegRecordingsWithTelemetryAreAccepted) {
    const fs::path mov = dir_ / "NORM180501_120000.MOV";
    const fs::path avi = dir_ / "NORM180501_120100.AVI";
    const RecordingSpec recording = Telemetry();
    // Telemetry boxes after "moov", chunks after "idx1", as the camera does.
    const uint64_t mov_base = fs::file_size(mov);
    const Layout mov_tail = LayOutBoxes(TelemetryBoxes(recording));
    mov_tail.AppendToFile(mov);
    const uint64_t avi_base = fs::file_size(avi);
    const Layout avi_tail = LayOutChunks(TelemetryChunks(recording));
    avi_tail.AppendToFile(avi);

    const CommandResult r = RunCommand(Probe({mov, avi}));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    struct Expect {
        fs::path path;
        uint64_t base;
        const Layout* tail;
    };
    const Expect expects[] = {{mov, mov_base, &mov_tail}, {avi, avi_base, &avi_tail}};
    for (size_t i = 0; i < 2; ++i) {
        const Json& j = lines[i];
        const Expect& e = expects[i];
        SCOPED_TRACE(e.path.string());
        EXPECT_EQ(Keys(j), kInfoKeys);
        EXPECT_EQ(j["path"], e.path.string());
        EXPECT_EQ(j["accepted"], true);
        EXPECT_EQ(j["gpsOffset"], e.base + e.tail->Mark("gps0"));
        EXPECT_EQ(j["gpsSize"], 20 * 32);
        EXPECT_EQ(j["gsenOffset"], e.base + e.tail->Mark("gsen"));
        EXPECT_EQ(j["gsenSize"], 300);
        EXPECT_EQ(j["width"], 320);
        EXPECT_EQ(j["height"], 240);
        EXPECT_EQ(j["startTime"], 1525176000);  // 2018-05-01 12:00:00 UTC
        EXPECT_EQ(j["lengthSeconds"], 2);
        EXPECT_NEAR(j["durationMs"].get<double>(), 2000, 30);
        EXPECT_EQ(j["fileSize"], fs::file_size(e.path));
        EXPECT_EQ(j["gpsRateWord"], "0a0000ab");
        EXPECT_EQ(j["gRangeWord"], "00040000");
        EXPECT_TRUE(j["durationMs"].is_number_unsigned());
    }
    // The AVI header states 50 frames of 40 ms exactly.
    EXPECT_EQ(lines[1]["durationMs"], 2000);
}

TEST_F(ProbeCommandTest, RejectedFilesPrintShortObjectsAndExitOne) {
    const fs::path text = dir_ / "NOTV180501_120000.MOV";
    Layout junk;
    const Bytes bytes = {'h', 'e', 'l', 'l', 'o', '"', '\\', '\n'};
    junk.Append(bytes);
    junk.WriteFile(text);
    // A real MOV given an .AVI name goes to the AVI parser and is rejected.
    const fs::path renamed = dir_ / "RENM180501_120000.AVI";
    fs::copy_file(dir_ / "NORM180501_120000.MOV", renamed, fs::copy_options::overwrite_existing);
    const fs::path quoted = dir_ / "we\"ird name.MOV";

    const CommandResult r =
        RunCommand(Probe({text, renamed, dir_ / "NORM180501_120000.MOV", quoted}));
    EXPECT_EQ(r.status, 1);
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].dump(), Json({{"path", text.string()},
                                     {"accepted", false},
                                     {"reason", "not a MOV/MP4 file (no ftyp box at the start)"}})
                                   .dump());
    EXPECT_EQ(lines[1]["accepted"], false);
    EXPECT_EQ(lines[1]["reason"], "not an AVI file (no RIFF AVI header)");
    EXPECT_EQ(lines[1].size(), 3u);
    EXPECT_EQ(lines[2]["accepted"], true);
    EXPECT_EQ(lines[3]["path"], quoted.string());
    EXPECT_EQ(lines[3]["accepted"], false);
}

TEST_F(ProbeCommandTest, UsageErrorsExitTwoWithUsageText) {
    const std::string bin = ShellQuote(ORVO_INFO_PATH);
    for (const std::string& args :
         {std::string(""), std::string(" probe"), std::string(" frobnicate x")}) {
        SCOPED_TRACE(args);
        const CommandResult r = RunCommand(bin + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("usage: orvo-info"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("probe FILE..."), std::string::npos) << r.err;
    }
    const CommandResult help = RunCommand(bin + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: orvo-info"), std::string::npos);
}

}  // namespace
}  // namespace orvo
