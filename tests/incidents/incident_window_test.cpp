// The window's incidents and trips on a card of real H.264 recordings with
// the camera's telemetry appended, played by the real engine beside the real
// map page. Needs an X server (scripts/test.sh runs xvfb-run).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/control_ids.h"
#include "app/incident_scanner.h"
#include "app/qor_dlg.h"
#include "app/window_messages.h"
#include "controls/video_slider.h"
#include "controls/window_message_send.h"
#include "gps/html_map_dlg.h"
#include "gsensor/gsensor_ctrl.h"
#include "library/file_list_ctrl.h"
#include "tests/incidents/incident_telemetry.h"
#include "tests/map/page_state.h"
#include "tests/support/recording_writer.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

constexpr int kClipSeconds = 12;
constexpr int kKnockMs = 8000;  // in the event recording

// An H.264 recording with ten GPS fixes and ten G-sensor samples a second
// behind the media; knock_ms >= 0 puts a 2.5 g knock there.
void WriteClip(const fs::path& path, int start_second, int knock_ms) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25 -t " +
        std::to_string(kClipSeconds) + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" +
        path.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ts::GpsTrackOptions track;
    track.count = kClipSeconds * 10;
    track.second = start_second;
    track.latitude = 3540.0 + 0.12 * start_second;
    track.speed = 40;
    std::vector<GpsRecord> gps = ts::MakeGpsTrack(track);
    for (GpsRecord& record : gps) record.speed = 40;  // steady: no braking
    std::vector<GSensorRecord> gsensor = testing::LevelSamples(kClipSeconds * 10);
    if (knock_ms >= 0) gsensor[static_cast<size_t>(knock_ms / 100)].z = -40;
    ts::LayOutBoxes({ts::RateBox("gpsa", ts::RateWord(10)), ts::RateBox("gsea", ts::RateWord(0, 8)),
                     ts::Gps0Box(gps), ts::GsenBox(gsensor)})
        .AppendToFile(path);
}

class IncidentWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        card_ = new ts::TempFolder;
        fs::create_directories(card_->path() / "DCIM");
        // One trip of two recordings; the knock is in the second.
        WriteClip(card_->path() / "DCIM/NORM180501_120000.MOV", 0, -1);
        WriteClip(card_->path() / "DCIM/EMER180501_120012.MOV", kClipSeconds, kKnockMs);
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    void SetUp() override {
        QorDlgOptions options;
        options.warn_when_engine_missing = false;
        window_ = std::make_unique<CQORDlg>(nullptr, options);
        window_->resize(1400, 900);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        // N and Shift+N are shortcuts of the active window.
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        ASSERT_TRUE(window_->Player().available()) << "libVLC must be installed";
        map_ = window_->findChild<CHtmlMapDlg*>();
        ASSERT_NE(map_, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([this] { return map_->IsPageReady(); }, 30'000));
    }

    void TearDown() override {
        if (window_) window_->Player().Stop();
        window_.reset();
    }

    void OpenCard() {
        ASSERT_EQ(window_->OpenPath(QString::fromStdString(card_->str())), 1);
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return window_->incident_scanner()->book().complete(); }, 10'000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return window_->Player().GetTime() > 0; }, 10'000));
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return window_->ClipSwitchGuard().load() == 0; }, 10'000));
    }

    std::string CurrentName() const {
        return fs::path(window_->current_clip_path()).filename().string();
    }

    QJsonObject TripState() {
        QCoreApplication::processEvents();
        QTest::qWait(50);
        const QVariant v =
            testing::Evaluate(testing::WebPage(*map_), "JSON.stringify(trip_state())");
        return QJsonDocument::fromJson(v.toString().toUtf8()).object();
    }

    static ts::TempFolder* card_;
    std::unique_ptr<CQORDlg> window_;
    CHtmlMapDlg* map_ = nullptr;
};
ts::TempFolder* IncidentWindowTest::card_ = nullptr;

TEST_F(IncidentWindowTest, RowsOfRecordingsWithAnIncidentAreMarkedKeepingTheirType) {
    OpenCard();
    CQorFileListCtrl* list = window_->file_list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_FALSE(list->HasIncidentMark(0));
    EXPECT_TRUE(list->HasIncidentMark(1));
    EXPECT_EQ(list->topLevelItem(1)->text(2), "Event");
    EXPECT_FALSE(list->topLevelItem(1)->icon(2).isNull());
    // A heading click refills the rows: the mark follows its recording.
    list->SortByColumn(0);
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->topLevelItemCount() == 2; }, 3000));
    const int event_row = list->topLevelItem(0)->text(1).startsWith("EMER") ? 0 : 1;
    EXPECT_TRUE(list->HasIncidentMark(event_row));
    EXPECT_FALSE(list->HasIncidentMark(1 - event_row));
}

TEST_F(IncidentWindowTest, NextOpensTheRecordingAFewSecondsBeforeTheIncidentAndMarksIt) {
    OpenCard();
    EXPECT_EQ(CurrentName(), "NORM180501_120000.MOV");
    EXPECT_TRUE(window_->seek_slider()->incident_marks().empty());

    QTest::keyClick(window_.get(), Qt::Key_N);
    ASSERT_TRUE(QTest::qWaitFor([this] { return CurrentName() == "EMER180501_120012.MOV"; }, 5000));
    // The seek waits for the new recording's first time report.
    ASSERT_TRUE(QTest::qWaitFor([this] { return window_->Player().GetTime() >= 4500; }, 10'000));
    EXPECT_LT(window_->Player().GetTime(), kKnockMs);
    // Its marks: the knock and the camera's event, at the same moment.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !window_->seek_slider()->incident_marks().empty(); }, 3000));
    EXPECT_EQ(window_->seek_slider()->incident_marks().front(),
              kKnockMs * 1000 / (kClipSeconds * 1000));
    auto* graph = window_->findChild<CGSensorCtrl*>();
    ASSERT_NE(graph, nullptr);
    ASSERT_FALSE(graph->incident_marks().empty());
    EXPECT_DOUBLE_EQ(graph->incident_marks().front(), kKnockMs);

    // There is no later incident: N stays; Shift+N has none before.
    QTest::keyClick(window_.get(), Qt::Key_N);
    QTest::keyClick(window_.get(), Qt::Key_N, Qt::ShiftModifier);
    QTest::qWait(500);
    EXPECT_EQ(CurrentName(), "EMER180501_120012.MOV");
    if (const char* shot = std::getenv("ORVO_INCIDENT_SHOT")) {
        QTest::qWait(1500);
        window_->grab().save(QString::fromLocal8Bit(shot));
    }
}

TEST_F(IncidentWindowTest, MapShowsTheWholeTripFittedUnderTheRecordingsTrack) {
    OpenCard();
    // One point a second of both recordings, all in view.
    ASSERT_TRUE(QTest::qWaitFor([this] { return TripState()["drawn"].toInt() > 0; }, 10'000));
    QJsonObject trip = TripState();
    EXPECT_EQ(trip["points"].toInt(), 2 * kClipSeconds);
    EXPECT_EQ(trip["drawn"].toInt(), 2 * kClipSeconds);
    EXPECT_EQ(trip["inView"].toInt(), 2 * kClipSeconds);

    // A map change reloads the page: the trip comes back.
    window_->Player().Stop();
    SendWindowMessage(window_.get(), WM_MAP_CHANGED, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return map_->IsPageReady(); }, 30'000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return TripState()["drawn"].toInt() > 0; }, 10'000));
    EXPECT_EQ(TripState()["points"].toInt(), 2 * kClipSeconds);
}

}  // namespace
}  // namespace orvo
