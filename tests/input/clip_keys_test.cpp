// Clip export from the main window: the start and end set with I and O
// through real key events while the real engine plays recordings with
// telemetry, the marks on the position slider, and the export read back.
// Needs an X server (scripts/test.sh runs xvfb-run).
#include <cstdlib>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include "app/qor_dlg.h"
#include "controls/video_slider.h"
#include "playback/player_event_sink.h"
#include "tests/export/clip_recordings.h"
#include "tests/support/engine_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using test_support::MakeTestRecording;
using test_support::ReadBack;
using test_support::ReadRecording;
using test_support::TempFolder;

class ClipKeysTest : public test_support::EngineWindowFixture {
protected:
    static void SetUpTestSuite() {
        card_ = new TempFolder;
        // One trip of two 8-s recordings (a keyframe every second) and a
        // recording of a later trip.
        MakeTestRecording(card_->path() / "NORM240518_120000.MOV", {.seconds = 8});
        MakeTestRecording(card_->path() / "NORM240518_120008.MOV",
                          {.seconds = 8, .second = 8, .speed_base = 1000});
        MakeTestRecording(card_->path() / "NORM240518_130000.MOV",
                          {.seconds = 8, .hour = 13, .speed_base = 2000});
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    // Waits for recording name to play, then pauses it at 5 s with the keys.
    void PauseAtFiveSeconds(const std::string& name) {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->current_clip_path().ends_with(name); }, 10'000));
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 300; }, 10'000));
        Key(Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().paused() != 0; }, 3000));
        // Under load the engine may take its time to stand still; the marks
        // below are only meaningful on a paused clip.
        ASSERT_TRUE(QTest::qWaitFor([this] { return EngineStandsStill(); }, 5000));
        Key(Qt::Key_Home);
        // A key counts from the engine's clock once the previous seek has
        // left for the engine: wait for the clock to arrive at the start.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return window->PendingSeekTime().load() == kNoPendingSeek &&
                       player().GetTime() < 300;
            },
            5000));
        Key(Qt::Key_Right);  // 5 s
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return window->PendingSeekTime().load() == kNoPendingSeek; }, 3000));
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return std::abs(window->shown_time_ms() - 5000) <= 100; }, 5000))
            << window->shown_time_ms();
        QTest::qWait(400);
    }

    bool EngineStandsStill() {
        const int64_t before = player().GetTime();
        QTest::qWait(250);
        return player().GetTime() == before;
    }

    std::string Path(const std::string& name) const { return (card_->path() / name).string(); }

    static TempFolder* card_;
};
TempFolder* ClipKeysTest::card_ = nullptr;

TEST_F(ClipKeysTest, SpanMarkedWithKeysAcrossTwoRecordingsExportsInStep) {
    const std::string first = Path("NORM240518_120000.MOV");
    const std::string second = Path("NORM240518_120008.MOV");
    ASSERT_EQ(window->OpenPath(QString::fromStdString(card_->path().string())), 1);
    PauseAtFiveSeconds("NORM240518_120000.MOV");
    const CVideoSlider* slider = window->seek_slider();

    Key(Qt::Key_I);
    ASSERT_TRUE(window->clip_span().has_in());
    ASSERT_TRUE(window->clip_span().MarksFor(first).in_ms.has_value());
    EXPECT_NEAR(static_cast<double>(*window->clip_span().MarksFor(first).in_ms), 5000, 100);
    EXPECT_NEAR(slider->span_marks().in, 625, 15);
    EXPECT_EQ(slider->span_marks().out, -1);
    EXPECT_FALSE(slider->span_marks().covered);

    // An end before the start is refused and leaves the start alone.
    Key(Qt::Key_Home);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->PendingSeekTime().load() == kNoPendingSeek; }, 3000));
    QTest::qWait(300);
    Key(Qt::Key_O);
    EXPECT_FALSE(window->clip_span().has_out());
    EXPECT_NEAR(slider->span_marks().in, 625, 15);

    // The end is set while the next recording of the trip plays: its slider
    // shows the end and a span that began before it.
    Key(Qt::Key_PageDown);
    PauseAtFiveSeconds("NORM240518_120008.MOV");
    Key(Qt::Key_O);
    ASSERT_TRUE(window->clip_span().complete());
    EXPECT_EQ(window->clip_span().Recordings(), (std::vector<std::string>{first, second}));
    EXPECT_TRUE(slider->span_marks().covered);
    EXPECT_EQ(slider->span_marks().in, -1);
    EXPECT_NEAR(slider->span_marks().out, 625, 15);

    // Back on the first recording its slider shows the start, shaded onward.
    Key(Qt::Key_PageUp);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->current_clip_path().ends_with("NORM240518_120000.MOV"); }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->span_marks().in >= 0; }, 10'000));
    EXPECT_TRUE(slider->span_marks().covered);
    EXPECT_NEAR(slider->span_marks().in, 625, 15);
    EXPECT_EQ(slider->span_marks().out, -1);

    // The export: from the keyframe at 5 s of the first to 5 s of the second.
    const ClipExportPlan plan = window->PlanClipSpan();
    ASSERT_EQ(plan.status, ClipExportStatus::kOk) << plan.detail;
    const std::string name = window->clip_span().DefaultName(plan.startTime);
    EXPECT_EQ(name, "CLIP240518_120005.MOV");
    TempFolder out;
    const fs::path target = out.path() / name;
    const ClipExportResult result =
        window->ExportClipTo(plan, QString::fromStdString(target.string()), false);
    ASSERT_EQ(result.status, ClipExportStatus::kOk) << result.detail;
    EXPECT_EQ(result.written, target);
    EXPECT_EQ(fs::directory_iterator(out.path())->path().filename(), name)
        << "no temporary file stays behind";

    // Failures leave nothing behind and the sources alone.
    const auto first_size = fs::file_size(first);
    EXPECT_EQ(window->ExportClipTo(plan, QString::fromStdString(first), true).status,
              ClipExportStatus::kTargetIsSource);
    EXPECT_EQ(fs::file_size(first), first_size);
    EXPECT_EQ(window->ExportClipTo(plan, QString::fromStdString(target.string()), false).status,
              ClipExportStatus::kTargetExists);
    const fs::path missing = out.path() / "missing" / name;
    EXPECT_EQ(window->ExportClipTo(plan, QString::fromStdString(missing.string()), false).status,
              ClipExportStatus::kWriteFailed);
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);

    const ReadBack back = ReadRecording(target);
    ASSERT_NE(back.info.durationMs, 0U) << "the parser rejects the export";
    EXPECT_NEAR(back.info.durationMs, 8000, 150);
    EXPECT_EQ(back.info.startTime, MakeLocalTime(2024, 5, 18, 12, 0, 5));
    // 10 GPS records a second: record i of the export is the source's
    // record of the same moment, 5 s into the first, then the second's.
    ASSERT_GE(back.gps.size(), 80U);
    EXPECT_EQ(back.gps[0].speed, 50);
    EXPECT_EQ(back.gps[29].speed, 79);
    EXPECT_EQ(back.gps[30].speed, 1000);
    EXPECT_EQ(back.gps[79].speed, 1049);

    // A recording of another trip cannot take the end. (The progress box
    // took the activation, which the keys need.)
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const char* next : {"NORM240518_120008.MOV", "NORM240518_130000.MOV"}) {
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));
        Key(Qt::Key_PageDown);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->current_clip_path().ends_with(next); }, 10'000));
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));
    Key(Qt::Key_O);
    EXPECT_EQ(window->clip_span().Recordings().size(), 2U);
    EXPECT_FALSE(slider->span_marks().covered);
    EXPECT_EQ(slider->span_marks().out, -1);
}

TEST_F(ClipKeysTest, SliderMenuSetsAndClearsThePoints) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(card_->path().string())), 1);
    PauseAtFiveSeconds("NORM240518_120000.MOV");
    auto trigger = [this](int per_mille, const char* name) {
        std::unique_ptr<QMenu> menu = window->BuildSliderMenu(per_mille);
        QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    };
    {
        std::unique_ptr<QMenu> menu = window->BuildSliderMenu(0);
        EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("ExportClip"))->isEnabled());
        EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("ClearClip"))->isEnabled());
    }
    // "Here" is the point clicked, not the playback position.
    trigger(250, "SetClipStart");
    trigger(750, "SetClipEnd");
    const CVideoSlider* slider = window->seek_slider();
    EXPECT_EQ(slider->span_marks().in, 250);
    EXPECT_EQ(slider->span_marks().out, 750);
    EXPECT_TRUE(slider->span_marks().covered);
    EXPECT_NEAR(static_cast<double>(window->clip_span().FromMs()), 2000, 10);
    EXPECT_NEAR(static_cast<double>(window->clip_span().ToMs()), 6000, 10);
    {
        std::unique_ptr<QMenu> menu = window->BuildSliderMenu(0);
        EXPECT_TRUE(menu->findChild<QAction*>(QStringLiteral("ExportClip"))->isEnabled());
        std::unique_ptr<QMenu> file_menu = window->BuildFileMenu(0);
        EXPECT_TRUE(file_menu->findChild<QAction*>(QStringLiteral("ExportClip"))->isEnabled());
    }
    trigger(0, "ClearClip");
    EXPECT_FALSE(window->clip_span().has_in());
    EXPECT_EQ(slider->span_marks(), CVideoSlider::SpanMarks{});
}

}  // namespace
}  // namespace orvo
