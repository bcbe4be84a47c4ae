#include "export/clip_exporter.h"

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "metadata/telemetry.h"
#include "tests/cli/cli_runner.h"
#include "tests/export/clip_recordings.h"
#include "tests/support/temp_dir.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

using namespace test_support;
namespace fs = std::filesystem;

const bool kZoneSet = PinTimeZone("UTC0");

std::vector<std::string> FolderNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint16_t> Speeds(const std::vector<GpsRecord>& records) {
    std::vector<uint16_t> out;
    for (const GpsRecord& r : records) out.push_back(r.speed);
    return out;
}

std::vector<uint16_t> Span(uint16_t first, size_t count) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < count; ++i) out.push_back(static_cast<uint16_t>(first + i));
    return out;
}

// Recordings shared by the tests (encoding is the slow part): a chain of
// two without sound, one with sound and reordered pictures, and one of
// another picture size.
class ClipExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cards_ = new TempFolder;
        first_ = cards_->path() / "FILE240518_120000.MOV";
        second_ = cards_->path() / "FILE240518_120003.MOV";
        sound_ = cards_->path() / "FILE240518_130000.MOV";
        other_size_ = cards_->path() / "FILE240518_120006.MOV";
        MakeTestRecording(first_, {.seconds = 3});
        MakeTestRecording(second_, {.seconds = 3, .second = 3, .speed_base = 1000});
        MakeTestRecording(sound_, {.seconds = 4, .audio = true, .b_frames = true, .hour = 13});
        MakeTestRecording(other_size_, {.seconds = 2, .width = 160, .height = 120, .second = 6});
    }
    static void TearDownTestSuite() { delete cards_; }

    fs::path Out(const std::string& name = "CLIP.MOV") const { return out_.path() / name; }

    static TempFolder* cards_;
    static fs::path first_, second_, sound_, other_size_;
    TempFolder out_;
};
TempFolder* ClipExportTest::cards_ = nullptr;
fs::path ClipExportTest::first_, ClipExportTest::second_, ClipExportTest::sound_,
    ClipExportTest::other_size_;

TEST_F(ClipExportTest, CutInsideOneRecordingWithSound) {
    const ClipExportPlan plan = PlanClipExport({sound_}, 1000, 3000);
    ASSERT_EQ(plan.status, ClipExportStatus::kOk) << plan.detail;
    EXPECT_EQ(plan.actualStartUs, 1'000'000);
    const ClipExportResult r = WriteClipExport(plan, Out(), false, nullptr);
    ASSERT_EQ(r.status, ClipExportStatus::kOk) << r.detail;
    EXPECT_EQ(r.written, Out());

    const MediaCheck media = CheckMedia(Out());
    EXPECT_EQ(media.stream_types, (std::vector<std::string>{"video", "audio"}));
    EXPECT_NEAR(media.duration_s, 2.0, 0.1);
    EXPECT_EQ(media.decode_status, 0);
    EXPECT_EQ(media.decode_errors, "");

    const ReadBack back = ReadRecording(Out());
    ASSERT_NE(back.info.durationMs, 0u) << "the parser rejects the export";
    EXPECT_NEAR(back.info.durationMs, 2000, 50);
    EXPECT_EQ(back.info.width, 320);
    EXPECT_EQ(back.info.startTime, MakeLocalTime(2024, 5, 18, 13, 0, 1));
    EXPECT_EQ(Speeds(back.gps), Span(10, 20));
    ASSERT_EQ(back.gsensor.size(), 20u);
    EXPECT_EQ(back.gsensor.front().x, 10);
    EXPECT_EQ(back.gsensor.back().x, 29);
    EXPECT_EQ(r.actualEndUs, 3'000'000);
}

TEST_F(ClipExportTest, SpanAcrossTwoRecordsWithoutSoundLeavesTheSourcesAlone) {
    const std::string before_first = ReadWholeFile(first_);
    const std::string before_second = ReadWholeFile(second_);
    const auto first_time = fs::last_write_time(first_);
    // From 2 s into the first to 1.5 s into the second.
    const ClipExportPlan plan = PlanClipExport({first_, second_}, 2000, 4500);
    ASSERT_EQ(plan.status, ClipExportStatus::kOk) << plan.detail;
    ASSERT_EQ(plan.parts.size(), 2u);
    const ClipExportResult r = WriteClipExport(plan, Out(), false, nullptr);
    ASSERT_EQ(r.status, ClipExportStatus::kOk) << r.detail;
    EXPECT_EQ(r.actualStartUs, 2'000'000);
    // The last picture taken starts at 1.48 s and shows for 40 ms.
    EXPECT_EQ(r.actualEndUs, 4'520'000);

    const MediaCheck media = CheckMedia(Out());
    EXPECT_EQ(media.stream_types, std::vector<std::string>{"video"});
    EXPECT_EQ(media.video_frames, 25 + 38);
    EXPECT_NEAR(media.duration_s, 2.52, 0.05);
    EXPECT_EQ(media.decode_status, 0);
    EXPECT_EQ(media.decode_errors, "");

    const ReadBack back = ReadRecording(Out());
    ASSERT_NE(back.info.durationMs, 0u);
    std::vector<uint16_t> expected = Span(20, 10);
    for (uint16_t v : Span(1000, 16)) expected.push_back(v);
    EXPECT_EQ(Speeds(back.gps), expected);
    ASSERT_EQ(back.gsensor.size(), 25u);
    EXPECT_EQ(back.gsensor[9].x, 29);
    EXPECT_EQ(back.gsensor[9].y, 0);
    EXPECT_EQ(back.gsensor[10].x, 0);  // the second recording's first sample
    EXPECT_EQ(back.gsensor[10].y, 10);
    EXPECT_EQ(back.info.startTime, MakeLocalTime(2024, 5, 18, 12, 0, 2));

    EXPECT_EQ(ReadWholeFile(first_), before_first);
    EXPECT_EQ(ReadWholeFile(second_), before_second);
    EXPECT_EQ(fs::last_write_time(first_), first_time);
    EXPECT_EQ(FolderNames(out_.path()), std::vector<std::string>{"CLIP.MOV"});
}

TEST_F(ClipExportTest, StartBetweenKeyframesStartsAtThePreviousKeyframe) {
    // Keyframes every second; reordered pictures and sound.
    const ClipExportPlan plan = PlanClipExport({sound_}, 2500, 3800);
    ASSERT_EQ(plan.status, ClipExportStatus::kOk) << plan.detail;
    EXPECT_EQ(plan.actualStartUs, 2'000'000);
    EXPECT_EQ(plan.startTime, MakeLocalTime(2024, 5, 18, 13, 0, 2));
    const ClipExportResult r = WriteClipExport(plan, Out(), false, nullptr);
    ASSERT_EQ(r.status, ClipExportStatus::kOk) << r.detail;
    const MediaCheck media = CheckMedia(Out());
    EXPECT_EQ(media.decode_status, 0);
    EXPECT_EQ(media.decode_errors, "");
    EXPECT_NEAR(media.duration_s, 1.8, 0.1);
    // Record 0 of the export is the one of the keyframe, not of 2.5 s.
    const ReadBack back = ReadRecording(Out());
    ASSERT_FALSE(back.gps.empty());
    EXPECT_EQ(back.gps.front().speed, 20);
    EXPECT_EQ(back.gps.front().second, 2);
    ASSERT_FALSE(back.gsensor.empty());
    EXPECT_EQ(back.gsensor.front().x, 20);
}

TEST_F(ClipExportTest, CancelledExportLeavesNothing) {
    const ClipExportPlan plan = PlanClipExport({first_, second_}, 0, 6000);
    int calls = 0;
    const ClipExportResult r = WriteClipExport(plan, Out(), false, [&](double fraction) {
        EXPECT_GE(fraction, 0.0);
        EXPECT_LE(fraction, 1.0);
        return ++calls < 40;
    });
    EXPECT_EQ(r.status, ClipExportStatus::kCancelled);
    EXPECT_EQ(calls, 40);
    EXPECT_TRUE(FolderNames(out_.path()).empty());
}

TEST_F(ClipExportTest, FullDiskFailsAndLeavesNothing) {
    const ClipExportPlan plan = PlanClipExport({first_, second_}, 0, 6000);
    ASSERT_EQ(plan.status, ClipExportStatus::kOk);
    // A file-size limit makes writes fail as on a full disk.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto old_handler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ClipExportResult r = WriteClipExport(plan, Out(), false, nullptr);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, old_handler);
    EXPECT_EQ(r.status, ClipExportStatus::kWriteFailed);
    EXPECT_FALSE(r.detail.empty());
    EXPECT_TRUE(FolderNames(out_.path()).empty());
}

TEST_F(ClipExportTest, RefusesWhatCannotBeDoneSafely) {
    // Another picture size cannot be joined by stream copy.
    const ClipExportPlan mixed = PlanClipExport({second_, other_size_}, 2000, 4000);
    ASSERT_EQ(mixed.status, ClipExportStatus::kOk);
    EXPECT_EQ(WriteClipExport(mixed, Out(), false, nullptr).status,
              ClipExportStatus::kIncompatible);
    EXPECT_TRUE(FolderNames(out_.path()).empty());

    EXPECT_EQ(PlanClipExport({first_}, 3000, 5000).status, ClipExportStatus::kEmptySpan);
    EXPECT_EQ(PlanClipExport({first_, out_.path() / "missing.MOV"}, 0, 1000).status,
              ClipExportStatus::kUnreadable);

    const ClipExportPlan plan = PlanClipExport({first_}, 0, 1000);
    const std::string before = ReadWholeFile(first_);
    EXPECT_EQ(WriteClipExport(plan, first_, true, nullptr).status,
              ClipExportStatus::kTargetIsSource);
    EXPECT_EQ(ReadWholeFile(first_), before);

    std::ofstream(Out()) << "keep";
    EXPECT_EQ(WriteClipExport(plan, Out(), false, nullptr).status, ClipExportStatus::kTargetExists);
    EXPECT_EQ(ReadWholeFile(Out()), "keep");
    EXPECT_EQ(WriteClipExport(plan, Out(), true, nullptr).status, ClipExportStatus::kOk);
    EXPECT_NE(ReadWholeFile(Out()), "keep");
}

std::string ClipCommand(const std::vector<fs::path>& files, const std::string& rest) {
    std::string command = ShellQuote(ORVO_INFO_PATH) + " clip";
    for (const fs::path& f : files) command += " " + ShellQuote(f.string());
    return command + " " + rest;
}

TEST_F(ClipExportTest, CommandLineWritesTheDefaultNameAndReportsTheActualSpan) {
    const CommandResult ok = RunCommand(
        ClipCommand({first_, second_}, "--from 2.3 --to 4.5 --out " + ShellQuote(out_.str())));
    ASSERT_EQ(ok.status, 0) << ok.err;
    const fs::path written = out_.path() / "CLIP240518_120002.MOV";
    EXPECT_EQ(ok.out, written.string() + "\nstart 2.000\nend 4.520\n");
    EXPECT_TRUE(fs::exists(written));

    // The same target again: refused, the first export kept.
    const CommandResult again = RunCommand(ClipCommand(
        {first_, second_}, "--from 2.3 --to 4.5 --out " + ShellQuote(written.string())));
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("exists"), std::string::npos) << again.err;

    const std::string out = " --out " + ShellQuote(Out().string());
    for (const std::string& bad :
         {std::string("--from 2 --to 1") + out, std::string("--from 1") + out,
          std::string("--from 0 --to 1"), std::string("--from x --to 1") + out,
          std::string("--from -1 --to 1") + out}) {
        EXPECT_EQ(RunCommand(ClipCommand({first_}, bad)).status, 2) << bad;
    }
    EXPECT_EQ(RunCommand(ClipCommand({}, "--from 0 --to 1" + out)).status, 2);
    EXPECT_EQ(RunCommand(ClipCommand({out_.path() / "none.MOV"}, "--from 0 --to 1" + out)).status,
              1);
    EXPECT_EQ(RunCommand(ClipCommand({first_}, "--from 7 --to 9" + out)).status, 1);
    EXPECT_FALSE(fs::exists(Out()));
}

}  // namespace
}  // namespace orvo
