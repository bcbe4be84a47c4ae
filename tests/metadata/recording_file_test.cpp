#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "metadata/byte_source.h"
#include "metadata/parse_recording.h"
#include "tests/metadata/parse_helpers.h"

namespace orvo {
namespace {

using namespace test_support;
namespace fs = std::filesystem;

class RecordingFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseTimeZone("UTC");
        dir_ = fs::temp_directory_path() / ("orvo-recording-file-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        spec_.gps = MakeGpsTrack({});
        spec_.gsensor = MakeGSensorTrack(3000);
        spec_.media_bytes = 150'000'000;  // sparse: telemetry lies far from the start
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    RecordingSpec spec_;
};

TEST_F(RecordingFileTest, ParseRecordingChoosesTheParserByExtension) {
    const Layout mov = BuildCameraMov(spec_);
    const Layout avi = BuildCameraAvi(spec_);
    struct Row {
        const char* name;
        const Layout* layout;
        int code;
    };
    const Row rows[] = {
        {"NORM180501_120000.MOV", &mov, 0}, {"NORM180501_120000.AVI", &avi, 0},
        {"NORM180501_120000.mp4", &mov, 0}, {"NORM180501_120000.avi", &avi, -1},
        {"MOVCONTENT_AS.AVI", &mov, -1},    {"AVI", &avi, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.layout->WriteFile(dir_ / row.name);
        ClipInfo info;
        info.width = 99;
        EXPECT_EQ(ParseRecording(dir_ / row.name, &info), row.code);
        if (row.code == 0) {
            EXPECT_EQ(info.fileSize, row.layout->Size());
            EXPECT_EQ(info.gpsOffset, row.layout->Mark("gps0"));
            EXPECT_EQ(info.gsenOffset, row.layout->Mark("gsen"));
            EXPECT_EQ(info.gpsSize, 600u * 32);
            EXPECT_EQ(info.gsenSize, 9000u);
            EXPECT_EQ(info.durationMs, 60000u);
            EXPECT_EQ(info.startTime, kMay1Noon);
        } else {
            // Zero-filled by ParseRecording, then left alone by the parser.
            EXPECT_EQ(info.width, 0);
            EXPECT_EQ(info.fileSize, 0u);
        }
    }
}

TEST_F(RecordingFileTest, UnopenableFilesAreRejected) {
    ClipInfo info;
    EXPECT_EQ(ParseRecording(dir_ / "MISSING0.MOV", &info), -1);
    fs::create_directories(dir_ / "DIR00000.MOV");
    EXPECT_EQ(ParseRecording(dir_ / "DIR00000.MOV", &info), -1);
    EXPECT_EQ(ParseRecording(dir_ / "MISSING0.AVI", nullptr), -1);
    // A FIFO must neither block the scan nor be accepted.
    ASSERT_EQ(::mkfifo((dir_ / "FIFO0000.MOV").c_str(), 0600), 0);
    EXPECT_EQ(ParseRecording(dir_ / "FIFO0000.MOV", &info), -1);
    EXPECT_EQ(info.width, 0);
}

TEST_F(RecordingFileTest, FileSourceReadsMatchMemoryAcrossWindows) {
    Bytes bytes(100'000);
    std::mt19937 rng(7);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    Layout layout;
    layout.Append(bytes);
    layout.WriteFile(dir_ / "random.bin");
    FileByteSource file;
    ASSERT_TRUE(file.Open(dir_ / "random.bin"));
    EXPECT_EQ(file.Size(), bytes.size());
    MemoryByteSource memory(bytes);
    std::uniform_int_distribution<uint64_t> offset(0, bytes.size() + 10);
    std::uniform_int_distribution<size_t> length(0, 40'000);
    for (int i = 0; i < 500; ++i) {
        const uint64_t at = offset(rng);
        const size_t n = i % 3 == 0 ? length(rng) : length(rng) % 64;
        Bytes a(n, 0xEE), b(n, 0xEE);
        ASSERT_EQ(file.ReadAt(at, a), memory.ReadAt(at, b)) << at << "+" << n;
        ASSERT_EQ(a, b) << at << "+" << n;
    }
}

TEST_F(RecordingFileTest, FileAndMemoryParsesAgree) {
    spec_.media_bytes = 20'000;
    spec_.date_text = "2019-03-04 05:06:07";
    for (bool avi : {false, true}) {
        const Layout layout = avi ? BuildCameraAvi(spec_) : BuildCameraMov(spec_);
        const fs::path path = dir_ / (avi ? "A.AVI" : "A.MOV");
        layout.WriteFile(path);
        ClipInfo from_file;
        ASSERT_EQ(ParseRecording(path, &from_file), 0);
        const ParseResult from_memory =
            avi ? ParseLayout<CQorAviParser>(layout) : ParseLayout<CQor3gpParser>(layout);
        ASSERT_EQ(from_memory.code, 0);
        EXPECT_EQ(from_file.gpsOffset, from_memory.info.gpsOffset);
        EXPECT_EQ(from_file.gsenOffset, from_memory.info.gsenOffset);
        EXPECT_EQ(from_file.startTime, from_memory.info.startTime);
        EXPECT_EQ(from_file.startTime, MakeLocalTime(2019, 3, 4, 5, 6, 7));
        EXPECT_EQ(from_file.fileSize, from_memory.info.fileSize);
    }
}

}  // namespace
}  // namespace orvo
