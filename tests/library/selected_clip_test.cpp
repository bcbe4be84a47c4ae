#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/library/fake_views.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeGSensor;
using testing::FakeMap;
using testing::FakePanel;
using testing::Fix;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

class SelectedClipTest : public ::testing::Test {
protected:
    void SetUp() override { catalog_.Bind(nullptr, &graph_, &map_, &panel_); }

    // Loads one recording in file mode and selects it; the log starts empty.
    void LoadClip(const RecordingOptions& options, const std::string& name = "FILE180501_1.MOV") {
        WriteRecording(card_.path() / name, options);
        ASSERT_EQ(catalog_.Load(card_.str(), name), 1);
        ASSERT_EQ(catalog_.Count(), 1);
        ASSERT_EQ(catalog_.SelectClip(0), 1);
        log_.clear();
        map_.scripts.clear();
    }

    TempFolder card_;
    CallLog log_;
    FakeGSensor graph_{&log_};
    FakeMap map_{&log_};
    FakePanel panel_{&log_};
    CClipCatalog catalog_;
};

TEST_F(SelectedClipTest, SelectClipFillsTheGraphThenPlotsUsableTrackPoints) {
    RecordingOptions options;
    options.duration_ms = 2000;
    options.g_range_word = {0, 4, 0, 0};
    options.gsensor = {{10, 0, 0}, {20, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    options.gps = {Fix(3731.5, 12701.2), Fix(20000.0, 12701.2), Fix(-3731.5, -12658.2)};
    options.gps.push_back(Fix(3731.5, 12701.2));
    options.gps.back().flags = 0;  // no fix
    WriteRecording(card_.path() / "FILE180501_120000.MOV", options);
    ASSERT_EQ(catalog_.Load(card_.str(), "FILE180501_120000.MOV"), 1);
    log_.clear();

    ASSERT_EQ(catalog_.SelectClip(0), 1);
    EXPECT_EQ(log_, (CallLog{
                        "map pathdrived_delete()",
                        "map path_delete()",
                        "g.clear",
                        "g.gain 4.0 2.0",
                        "g.clear",
                        "g.samples 4",
                        "g.perms 0.0020",
                        "map path_plot(37.525000,127.020000)",
                        "map path_plot(-37.525000,-126.970000)",
                    }));
    ASSERT_EQ(graph_.samples.size(), 4u);
    EXPECT_EQ(graph_.samples[1].x, 20);
    EXPECT_EQ(catalog_.gps_rate(), 10.0);
    EXPECT_EQ(catalog_.GpsRecords().size(), 4u);
}

TEST_F(SelectedClipTest, SelectClipOutOfRangeOrUnreadable) {
    RecordingOptions options;
    options.gps = {Fix(3731.5, 12701.2)};
    LoadClip(options);
    EXPECT_EQ(catalog_.SelectClip(1), 0);
    EXPECT_EQ(catalog_.SelectClip(-1), 0);
    EXPECT_TRUE(log_.empty());

    fs::remove(card_.path() / "FILE180501_1.MOV");
    EXPECT_EQ(catalog_.SelectClip(0), 0);
    // The map is cleared, the graph is not; the old track is gone.
    EXPECT_EQ(log_, (CallLog{"map pathdrived_delete()", "map path_delete()"}));
    EXPECT_TRUE(catalog_.GpsRecords().empty());
    log_.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(0, true, true), 0);
    EXPECT_EQ(log_, (CallLog{"panel.noheading", "panel.speed 0 0", "g.speed 0 0"}));
}

// A recording replaced by a FIFO after the scan: selecting it returns at once
// with 0 instead of waiting in open() for a writer that never comes.
TEST_F(SelectedClipTest, FifoSwappedInAfterTheScanIsRefusedWithoutBlocking) {
    RecordingOptions options;
    options.gps = {Fix(3731.5, 12701.2)};
    LoadClip(options);
    const fs::path path = card_.path() / "FILE180501_1.MOV";
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);

    auto selected = std::async(std::launch::async, [this] { return catalog_.SelectClip(0); });
    if (selected.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the blocked open so the test can end and report.
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        ADD_FAILURE() << "SelectClip blocked on the FIFO";
        selected.wait();
        if (writer >= 0) ::close(writer);
        return;
    }
    EXPECT_EQ(selected.get(), 0);
    EXPECT_EQ(catalog_.open_failure().reason, SkipReason::kNotRegularFile);
    EXPECT_TRUE(catalog_.GpsRecords().empty());

    fs::remove(path);
    EXPECT_EQ(catalog_.SelectClip(0), 0);
    EXPECT_EQ(SkipReasonText(catalog_.open_failure()),
              "cannot be opened: No such file or directory");
}

TEST_F(SelectedClipTest, LookupAtRecordEdgesWithRateOne) {
    RecordingOptions options;
    options.gps_rate_word = {1, 0, 0, 0};
    for (int i = 0; i < 60; ++i) {
        options.gps.push_back(Fix(3731.5, 12701.2, static_cast<uint16_t>(i), 45));
    }
    LoadClip(options);

    EXPECT_EQ(catalog_.UpdateTelemetry(0, false, true), 1);
    EXPECT_EQ(log_, (CallLog{"panel.heading 90", "panel.speed 1 0", "g.speed 1 0",
                             "map marker 37.315000 127.012000 90"}));
    log_.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(59999, false, false), 1);
    EXPECT_EQ(log_, (CallLog{"panel.heading 90", "panel.speed 1 59", "g.speed 1 59"}));
    EXPECT_EQ(CClipCatalog::LastGpsIndex(), 59);
    log_.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(60000, false, true), 0);
    EXPECT_EQ(log_, (CallLog{"panel.noheading", "panel.speed 0 0", "g.speed 0 0"}));
    log_.clear();
    // Negative times have no sample.
    EXPECT_EQ(catalog_.UpdateTelemetry(-1000, false, true), 0);
    EXPECT_EQ(log_, (CallLog{"panel.noheading", "panel.speed 0 0", "g.speed 0 0"}));
}

TEST_F(SelectedClipTest, SameIndexTwiceChangesNothingExceptAtIndexZero) {
    RecordingOptions options;
    for (int i = 0; i < 100; ++i) options.gps.push_back(Fix(3731.5, 12701.2, 50, 10));
    LoadClip(options);
    EXPECT_EQ(catalog_.UpdateTelemetry(0, false, true), 1);
    EXPECT_EQ(catalog_.UpdateTelemetry(50, false, true), 1);  // index 0 again: refreshed
    EXPECT_EQ(map_.scripts.size(), 2u);
    map_.scripts.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(1234, false, true), 1);  // index 12
    log_.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(1299, false, true), 1);  // index 12 again
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(map_.scripts.size(), 1u);
    // 12 345 ms at rate 10 is record 123, beyond this track.
    EXPECT_EQ(catalog_.UpdateTelemetry(12345, false, true), 0);
    EXPECT_EQ(map_.scripts.size(), 1u);
}

TEST_F(SelectedClipTest, FixWithUnusablePositionUpdatesPanelButNotMap) {
    RecordingOptions options;
    options.gps = {Fix(3731.5, 12701.2), Fix(20000.0, 12701.2, 77, 20)};
    options.gsensor = {{0, 0, 0}, {1, 1, 1}};
    options.gps_rate_word = {1, 0, 0, 0};
    LoadClip(options);
    catalog_.UpdateTelemetry(0, false, false);  // the last shown index is now 0
    log_.clear();
    EXPECT_EQ(catalog_.UpdateTelemetry(1000, true, true), 0);
    EXPECT_EQ(log_, (CallLog{"g.hidden 0", "g.repaint", "g.cursor 1000", "panel.heading 40",
                             "panel.speed 1 77", "g.speed 1 77"}));
}

TEST_F(SelectedClipTest, ClipWithoutTelemetryResetsDisplaysAndLeavesTheCursor) {
    RecordingOptions options;
    LoadClip(options);
    EXPECT_EQ(catalog_.gsensor_size(), 0u);
    for (int t : {0, 5000}) {
        log_.clear();
        EXPECT_EQ(catalog_.UpdateTelemetry(t, true, true), 0);
        EXPECT_EQ(log_, (CallLog{"panel.noheading", "panel.speed 0 0", "g.speed 0 0"}));
    }
}

TEST_F(SelectedClipTest, RedrawDrivenPathReplotsRecordsBeforeTheSeekTime) {
    RecordingOptions options;
    for (int i = 0; i < 100; ++i) {
        options.gps.push_back(Fix(3500.0 + i, 13900.0));
        if (i % 2 == 1) options.gps.back().flags = 0;
    }
    LoadClip(options);
    catalog_.RedrawDrivenPath(5500);
    ASSERT_EQ(map_.scripts.size(), 1u + 28u);  // usable: even records 0..54
    EXPECT_EQ(map_.scripts.front(), "pathdrived_delete()");
    EXPECT_EQ(map_.scripts[1], "pathdrived_plot(35.000000,139.000000)");
    EXPECT_EQ(map_.scripts.back(), "pathdrived_plot(35.900000,139.000000)");
    map_.scripts.clear();
    catalog_.RedrawDrivenPath(1000000);
    EXPECT_EQ(map_.scripts.size(), 1u + 50u);
    map_.scripts.clear();
    catalog_.RedrawDrivenPath(-5);
    EXPECT_EQ(map_.scripts, (std::vector<std::string>{"pathdrived_delete()"}));
}

TEST_F(SelectedClipTest, BlocksBeyondTheFileAreNotRead) {
    RecordingOptions options;
    options.gps = {Fix(3731.5, 12701.2)};
    options.gsensor = {{1, 2, 3}};
    options.gps_rate_word = {0, 0, 0, 0};  // counts as 1
    WriteRecording(card_.path() / "FILE180501_120000.MOV", options);
    ASSERT_EQ(catalog_.Load(card_.str(), "FILE180501_120000.MOV"), 1);
    EXPECT_EQ(catalog_.SelectClip(0), 1);
    EXPECT_EQ(catalog_.gps_rate(), 1.0);
    // Cut the file before its telemetry.
    fs::resize_file(card_.path() / "FILE180501_120000.MOV",
                    catalog_.entries()[0].info.gpsOffset - 1);
    log_.clear();
    EXPECT_EQ(catalog_.SelectClip(0), 1);
    EXPECT_EQ(log_, (CallLog{"map pathdrived_delete()", "map path_delete()", "g.clear"}));
    EXPECT_TRUE(catalog_.GpsRecords().empty());
}

}  // namespace
}  // namespace orvo
