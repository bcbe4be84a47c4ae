// The main window as a player, with the real engine on recordings encoded by
// ffmpeg for the run. Needs an X server (scripts/test.sh runs xvfb-run).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "controls/my_slider_control.h"
#include "controls/png_static.h"
#include "controls/video_slider.h"
#include "controls/window_message_send.h"
#include "library/file_list_ctrl.h"
#include "library/media_open_dialog.h"
#include "tests/support/recording_writer.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

// Encodes an H.264 recording; the test fails loudly when ffmpeg cannot.
void Encode(const fs::path& out, double seconds, const char* pattern) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i " + std::string(pattern) +
        "=size=320x240:rate=25 -t " + std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_TRUE(fs::exists(out));
}

// Recordings shared by all tests: a card folder of three 2-second clips in
// time order, and a folder with one 60-second clip.
struct Recordings {
    fs::path root;
    fs::path card;
    fs::path long_clip;
    fs::path telemetry_clip;
    std::string clip[3];
};
Recordings* g_recordings = nullptr;

class PlayerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (g_recordings != nullptr) return;
        auto* r = new Recordings;
        r->root = fs::temp_directory_path() / ("orvo-player-test-" + std::to_string(::getpid()));
        r->card = r->root / "CARD";
        fs::create_directories(r->card / "DCIM");
        const char* names[3] = {"NORM180501_120000.MOV", "NORM180501_120002.MOV",
                                "EMER180501_120004.MOV"};
        const char* patterns[3] = {"testsrc", "smptebars", "testsrc2"};
        for (int i = 0; i < 3; ++i) {
            const fs::path path = r->card / "DCIM" / names[i];
            Encode(path, 2.0, patterns[i]);
            r->clip[i] = names[i];
        }
        fs::create_directories(r->root / "LONG");
        r->long_clip = r->root / "LONG" / "NORM180501_130000.MOV";
        Encode(r->long_clip, 60.0, "testsrc");
        // A clip with the camera's telemetry behind the media: ten valid GPS
        // fixes a second and a G-sensor curve.
        fs::create_directories(r->root / "TELE");
        r->telemetry_clip = r->root / "TELE" / "NORM180501_140000.MOV";
        Encode(r->telemetry_clip, 4.0, "testsrc");
        ts::GpsTrackOptions track;
        track.count = 40;
        track.rate = 10;
        const auto gps = ts::MakeGpsTrack(track);
        const auto gsensor = ts::MakeGSensorTrack(400);
        ts::LayOutBoxes(
            {ts::RateBox("gpsa", ts::RateWord(10)), ts::Gps0Box(gps), ts::GsenBox(gsensor)})
            .AppendToFile(r->telemetry_clip);
        g_recordings = r;
    }

    static void TearDownTestSuite() {
        if (g_recordings == nullptr) return;
        std::error_code error;
        fs::remove_all(g_recordings->root, error);
        delete g_recordings;
        g_recordings = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(g_recordings, nullptr);
        QorDlgOptions options;
        options.warn_when_engine_missing = false;
        window = std::make_unique<CQORDlg>(nullptr, options);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(window->Player().available()) << "libVLC must be installed for these tests";
    }

    void TearDown() override {
        if (window) window->Player().Stop();
        window.reset();
    }

    const Recordings& rec() const { return *g_recordings; }
    CVlcPlayer& player() { return window->Player(); }

    std::string FileNameOfCurrent() const {
        return fs::path(window->current_clip_path()).filename().string();
    }

    // Opens the card and waits until its first clip plays and has reported
    // time, so that clicks are accepted again.
    void OpenCardAndWaitForPlayback() {
        ASSERT_EQ(window->OpenPath(QString::fromStdString(rec().card.string())), 1);
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 0; }, 10'000));
    }

    void Command(int id) {
        CGdipButton* button = window->Button(id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    bool Send(unsigned message, std::intptr_t wparam = 0, std::intptr_t lparam = 0) {
        return SendWindowMessage(window.get(), message, wparam, lparam);
    }

    // True when the engine's time stays below `limit` for `ms`.
    bool StaysBelow(int64_t limit, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (player().GetTime() >= limit) return false;
            QTest::qWait(50);
        }
        return true;
    }

    // Accepts the message box the next command opens, keeping its text.
    static void AcceptNextMessageBox(QString* text) {
        QTimer::singleShot(0, [text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *text = box->text();
            box->accept();
        });
    }

    std::unique_ptr<CQORDlg> window;
};

TEST_F(PlayerWindowTest, FolderStartsFirstClipHalfASecondAfterScanWithOverlaySequence) {
    // The folder of the 60-second clip: no clip change interrupts the overlay.
    const fs::path folder = rec().long_clip.parent_path();
    ASSERT_EQ(window->OpenPath(QString::fromStdString(folder.string())), 1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(window->open_mode(), 1);
    EXPECT_EQ(window->catalog().Count(), 1);
    EXPECT_EQ(window->ClipSwitchGuard().load(), 1) << "guarded until the clip reports time";
    EXPECT_TRUE(window->current_clip_path().empty());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->current_clip_path().empty(); }, 3000));
    const qint64 delay = clock.elapsed();
    RecordProperty("start_delay_ms", static_cast<int>(delay));
    EXPECT_GE(delay, 300);
    EXPECT_LE(delay, 1500);
    EXPECT_EQ(FileNameOfCurrent(), rec().long_clip.filename().string());
    EXPECT_TRUE(window->HasTimer(102));
    EXPECT_TRUE(player().playing());
    EXPECT_FALSE(window->last_overlay().enabled) << "normal rate: no overlay text";
    // Eleven sends 300 ms apart, then the timer ends.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->HasTimer(102); }, 6000));
    EXPECT_GE(clock.elapsed(), delay + 3000);
    EXPECT_EQ(window->overlay_ticks(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 5000));
}

TEST_F(PlayerWindowTest, CardFolderListsRecordingsByTimeWithTypes) {
    OpenCardAndWaitForPlayback();
    CQorFileListCtrl* list = window->file_list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "2018-05-01 12:00:00");
    EXPECT_EQ(list->topLevelItem(2)->text(1).toStdString(), rec().clip[2]);
    EXPECT_EQ(list->topLevelItem(2)->text(2), QString::fromStdString(LoadUiString(153)));
    EXPECT_TRUE(list->IsRowMarked(0)) << "the playing clip's row is marked";
    EXPECT_FALSE(list->IsRowMarked(1));
}

TEST_F(PlayerWindowTest, RateStepsStopAtTheEndsAndNormalRateHidesTheOverlay) {
    OpenCardAndWaitForPlayback();
    for (int i = 0; i < 12; ++i) Command(kIdcFast);
    EXPECT_EQ(window->rate_step(), 17);
    EXPECT_EQ(window->last_overlay().text, "4.0 X");
    EXPECT_TRUE(window->last_overlay().enabled);
    EXPECT_FLOAT_EQ(player().rate(), 4.0f);
    EXPECT_EQ(window->last_overlay().size, 24) << "a tenth of the 240-line picture";

    for (int i = 0; i < 10; ++i) Command(kIdcSlow);
    EXPECT_EQ(window->rate_step(), 7);
    EXPECT_EQ(window->last_overlay().text, "1.0 X");
    EXPECT_FALSE(window->last_overlay().enabled);

    for (int i = 0; i < 8; ++i) Command(kIdcSlow);
    EXPECT_EQ(window->rate_step(), 0);
    EXPECT_EQ(window->last_overlay().text, "0.3 X");
    EXPECT_TRUE(window->last_overlay().enabled);

    Command(kIdcStop);
    EXPECT_EQ(window->rate_step(), 7);
    EXPECT_FLOAT_EQ(player().rate(), 1.0f);
    EXPECT_FALSE(player().playing());
}

TEST_F(PlayerWindowTest, EndOfLastClipWithAutoNextCuesFirstClipPausedAtStart) {
    OpenCardAndWaitForPlayback();
    Send(WM_FILE_CLICKED, 2);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[2]);
    EXPECT_EQ(window->catalog().SelectedIndex(), 2);
    // The 2-second clip ends; the first one is cued.
    ASSERT_TRUE(QTest::qWaitFor([this] { return FileNameOfCurrent() == rec().clip[0]; }, 10'000));
    EXPECT_EQ(window->catalog().SelectedIndex(), 0);
    // The cue pauses once the engine reports playing; the window runs on.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->cue_pending(); }, 10'000));
    EXPECT_TRUE(player().paused());
    EXPECT_FALSE(player().playing());
    EXPECT_EQ(window->seek_slider()->value(), 0);
    EXPECT_TRUE(StaysBelow(400, 1000)) << "the cued clip must not play on";
}

TEST_F(PlayerWindowTest, EndOfClipWithAutoNextOffShowsTheSameClipPaused) {
    OpenCardAndWaitForPlayback();
    Command(kIdcLoop);
    EXPECT_EQ(window->auto_next(), 0);
    Send(WM_FILE_CLICKED, 1);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[1]);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 1000; }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().paused() != 0; }, 10'000));
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[1]);
    EXPECT_EQ(window->seek_slider()->value(), 0);
    EXPECT_TRUE(StaysBelow(400, 1000));
}

TEST_F(PlayerWindowTest, SecondFileClickBeforeTheNewClipReportsTimeIsIgnored) {
    OpenCardAndWaitForPlayback();
    Send(WM_FILE_CLICKED, 1);
    EXPECT_EQ(window->ClipSwitchGuard().load(), 1);
    Send(WM_FILE_CLICKED, 2);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[1]);
    EXPECT_EQ(window->catalog().SelectedIndex(), 1);
    // Once the new clip reports time, clicks count again; -1 never does.
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 5000));
    Send(WM_FILE_CLICKED, -1);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[1]);
    Send(WM_FILE_CLICKED, 2);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[2]);
}

TEST_F(PlayerWindowTest, SliderSeekIsCoalescedAndReachesTheEngineAlsoAtZero) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(rec().long_clip.string())), 1);
    EXPECT_EQ(window->open_mode(), 2);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetLength() > 0; }, 10'000));
    const int64_t length = player().GetLength();
    ASSERT_NEAR(static_cast<double>(length), 60'000.0, 200.0);

    window->seek_slider()->setValue(500);
    Send(WM_SEEK_CHANGED);
    EXPECT_EQ(window->PendingSeekTime().load(), 500 * (length / 1000));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            const int64_t t = player().GetTime();
            return t >= 29'000 && t <= 31'500;
        },
        3000));
    RecordProperty("seek_arrival_ms", static_cast<int>(clock.elapsed()));
    EXPECT_LE(clock.elapsed(), 1000) << "timer 103 applies a seek within 500 ms";
    EXPECT_EQ(window->PendingSeekTime().load(), kNoPendingSeek);

    // Back to the very start: 0 is a real seek, not "nothing pending".
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 30'500; }, 5000));
    window->seek_slider()->setValue(0);
    Send(WM_SEEK_CHANGED);
    EXPECT_EQ(window->PendingSeekTime().load(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() < 3000; }, 3000));
}

TEST_F(PlayerWindowTest, DraggingThePositionSliderSeeksWhereItIsLetGo) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(rec().long_clip.string())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetLength() > 0; }, 10'000));
    CVideoSlider* slider = window->seek_slider();
    const QRect channel = slider->ChannelRect();
    auto x_at = [&channel](int per_mille) {
        return channel.left() + channel.width() * per_mille / 1000;
    };
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(x_at(250), y));
    QTest::mouseMove(slider, QPoint(x_at(600), y));
    EXPECT_NE(window->PendingSeekTime().load(), kNoPendingSeek) << "a move reports at once";
    QTest::mouseMove(slider, QPoint(x_at(750), y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x_at(750), y));
    const int let_go = slider->value();
    EXPECT_NEAR(let_go, 750, 2);
    const int64_t target = let_go * (player().GetLength() / 1000);
    ASSERT_TRUE(QTest::qWaitFor(
        [this, target] { return std::abs(player().GetTime() - target) < 1500; }, 3000));
    EXPECT_GE(window->seek_slider()->value(), let_go - 5)
        << "time reports move the thumb on from where it was let go";
}

TEST_F(PlayerWindowTest, VolumeEditOutOfRangeRestoresSliderValueInRangeMovesSlider) {
    EXPECT_EQ(window->volume_slider()->value(), 60);
    EXPECT_EQ(player().volume(), 120);
    window->volume_edit()->setText(QStringLiteral("150"));
    EXPECT_EQ(window->volume_edit()->text(), "60");
    EXPECT_EQ(player().volume(), 120);
    window->volume_edit()->setText(QStringLiteral("40"));
    EXPECT_EQ(player().volume(), 80);
    EXPECT_EQ(window->volume_slider()->value(), 40);

    window->volume_slider()->setValue(25);
    Send(WM_VOLUME_CHANGED);
    EXPECT_EQ(player().volume(), 50);
    EXPECT_EQ(window->volume_edit()->text(), "25");
}

TEST_F(PlayerWindowTest, SnapshotWhilePausedWritesTheFileAndStaysPaused) {
    OpenCardAndWaitForPlayback();
    Command(kIdcPlay);  // pause
    EXPECT_TRUE(player().paused());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->Button(kIdcPlay)->toggled(); }, 3000))
        << "the PLAY button follows the engine's paused report";
    const fs::path shot = rec().root / "shot.png";
    fs::remove(shot);
    QTimer::singleShot(0, [shot] {
        auto* save = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(save, nullptr);
        save->selectFile(QString::fromStdString(shot.string()));
        static_cast<QDialog*>(save)->accept();
    });
    Command(kIdcSnap);
    ASSERT_TRUE(
        QTest::qWaitFor([&shot] { return fs::exists(shot) && fs::file_size(shot) > 0; }, 5000));
    EXPECT_TRUE(player().paused());
    EXPECT_FALSE(player().playing());
    const int64_t at = player().GetTime();
    QTest::qWait(600);
    EXPECT_LE(player().GetTime(), at + 100) << "still paused after the dialog";
}

TEST_F(PlayerWindowTest, SnapshotWithoutClipsSaysSo) {
    QString text;
    AcceptNextMessageBox(&text);
    Command(kIdcSnap);
    EXPECT_FALSE(text.isEmpty());
}

TEST_F(PlayerWindowTest, HeadingClicksSortListAndCatalogueAlike) {
    OpenCardAndWaitForPlayback();
    CQorFileListCtrl* list = window->file_list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    auto click = [list](int column) {
        QHeaderView* heading = list->header();
        const QPoint point(
            heading->sectionViewportPosition(column) + heading->sectionSize(column) / 2,
            heading->height() / 2);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, point);
    };
    auto expect_aligned = [this, list] {
        const auto& entries = window->catalog().entries();
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            EXPECT_EQ(list->topLevelItem(row)->text(1).toStdString(), entries[row].fileName);
            EXPECT_EQ(list->EntryIndexOfRow(row), row);
        }
    };
    click(0);  // newest first
    EXPECT_EQ(list->SortMarkOf(0), CQorFileListCtrl::SortMark::kUp);
    EXPECT_EQ(list->topLevelItem(0)->text(1).toStdString(), rec().clip[2]);
    EXPECT_FALSE(player().playing()) << "sorting stops playback";
    expect_aligned();
    click(1);  // by name, ascending: EMER first
    EXPECT_EQ(list->SortMarkOf(1), CQorFileListCtrl::SortMark::kDown);
    EXPECT_EQ(list->SortMarkOf(0), CQorFileListCtrl::SortMark::kNone);
    EXPECT_EQ(list->topLevelItem(0)->text(1).toStdString(), rec().clip[2]);
    EXPECT_EQ(list->topLevelItem(1)->text(1).toStdString(), rec().clip[0]);
    expect_aligned();

    // A double click plays the row's recording.
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[0]);
}

// Reading a list at the default size: the playing row apart from a clicked
// one, cut texts and the trip in the tooltip, widened columns kept.
TEST_F(PlayerWindowTest, FileListMarksThePlayingRowShowsTipsAndKeepsWidenedColumns) {
    OpenCardAndWaitForPlayback();
    CQorFileListCtrl* list = window->file_list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    ASSERT_TRUE(list->IsRowMarked(0));
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(list->columnWidth(0) + 10, second.center().y()));
    ASSERT_TRUE(list->topLevelItem(1)->isSelected());
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[0]) << "a single click plays nothing";
    const QImage picture = list->viewport()->grab().toImage();
    const QRect first = list->visualItemRect(list->topLevelItem(0));
    const int x = list->columnWidth(0) + list->columnWidth(1) - 4;
    EXPECT_NE(picture.pixelColor(x, first.center().y()), picture.pixelColor(x, second.center().y()))
        << "the playing row and the selected row look alike";
    EXPECT_EQ(picture.pixelColor(1, first.center().y()), CQorRowListCtrl::MarkBar());
    EXPECT_TRUE(list->topLevelItem(0)->font(1).bold());

    // At the default widths the time does not fit beside its tick box.
    auto tip_at = [list](int row, int column) {
        const QPoint at = list->visualRect(list->model()->index(row, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    ASSERT_TRUE(list->IsCellElided(0, 0));
    EXPECT_TRUE(tip_at(0, 0).startsWith("2018-05-01 12:00:00\n\n")) << tip_at(0, 0).toStdString();
    // The three recordings follow each other: one trip, read off the window
    // thread and shown in the open tooltip when done.
    const QString trip = QString::fromStdString(LoadUiString(270)).replace("%1", "3");
    EXPECT_TRUE(QTest::qWaitFor([&trip] { return QToolTip::text().contains(trip); }, 10'000))
        << QToolTip::text().toStdString();
    // The name is cut too; no recording of this card has GPS.
    const QString other_row = tip_at(2, 1);
    EXPECT_TRUE(other_row.startsWith(QString::fromStdString(rec().clip[2]) + "\n\n" + trip))
        << other_row.toStdString();
    EXPECT_TRUE(other_row.endsWith(QString::fromStdString(LoadUiString(278))))
        << other_row.toStdString();
    QToolTip::hideText();

    // Widen the name column by its heading's edge; reopening the card and
    // sorting keep it, the time column stays at its share.
    const int time_width = list->columnWidth(0);
    QWidget* heading = list->header()->viewport();
    const QPointF from(list->header()->sectionViewportPosition(1) + list->columnWidth(1) - 1,
                       list->header()->height() / 2);
    const QPointF to = from + QPointF(40, 0);
    QMouseEvent press(QEvent::MouseButtonPress, from, heading->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(heading, &press);
    QMouseEvent move(QEvent::MouseMove, to, heading->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(heading, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, heading->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(heading, &release);
    const int widened = list->columnWidth(1);
    ASSERT_GT(widened, list->width() * 38 / 100);
    OpenCardAndWaitForPlayback();
    EXPECT_EQ(list->columnWidth(1), widened);
    list->SortByColumn(1);
    EXPECT_EQ(list->columnWidth(1), widened);
    EXPECT_EQ(list->columnWidth(0), time_width);
}

TEST_F(PlayerWindowTest, NextAndPreviousWalkTheClipsAndWrapToACue) {
    OpenCardAndWaitForPlayback();
    Command(kIdcNext);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[1]);
    EXPECT_TRUE(player().playing());
    Command(kIdcPrev);
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[0]);
    Command(kIdcPrev);  // on the first clip: cued paused
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[0]);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->cue_pending(); }, 10'000));
    EXPECT_TRUE(player().paused());
    EXPECT_TRUE(StaysBelow(400, 800));
}

TEST_F(PlayerWindowTest, OpenCommandFolderChoiceScansAndStartsTheFirstClip) {
    CQorSettings::Instance().WriteFolder(rec().card.string());
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "OPEN runs the media-open dialog";
        dialog->findChild<QRadioButton*>(QStringLiteral("1031"))->setChecked(true);
        dialog->accept();
    });
    Command(kIdcOpen);
    EXPECT_EQ(window->open_mode(), 1);
    EXPECT_EQ(window->catalog().Count(), 3);
    EXPECT_EQ(window->file_list()->topLevelItemCount(), 3);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->current_clip_path().empty(); }, 3000));
    EXPECT_EQ(FileNameOfCurrent(), rec().clip[0]);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 5000));

    // Cancelling the dialog changes nothing but the reset rate.
    Command(kIdcFast);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CMediaOpenDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    Command(kIdcOpen);
    EXPECT_EQ(window->rate_step(), 7);
    EXPECT_EQ(window->catalog().Count(), 3);
}

TEST_F(PlayerWindowTest, FlipRecreatesTheEngineAndRestoresPositionAndState) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(rec().long_clip.string())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetLength() > 0; }, 10'000));
    window->seek_slider()->setValue(200);  // 12 s
    Send(WM_SEEK_CHANGED);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() >= 12'000; }, 3000));

    // The layout keeps FLIP disabled; the command itself is wired all the same.
    window->Button(kIdcFlip)->setEnabled(true);
    Command(kIdcFlip);
    EXPECT_EQ(player().argument_set(), 1);
    EXPECT_TRUE(player().playing());
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() >= 12'000; }, 5000))
        << "playing resumes at the saved time";
    EXPECT_LT(player().GetTime(), 20'000);

    Command(kIdcPlay);  // pause
    ASSERT_TRUE(player().paused());
    const int64_t paused_at = player().GetTime();
    Command(kIdcFlip);
    EXPECT_EQ(player().argument_set(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->cue_pending(); }, 10'000));
    EXPECT_TRUE(player().paused());
    EXPECT_FALSE(player().playing());
    ASSERT_TRUE(QTest::qWaitFor(
        [this, paused_at] { return std::abs(player().GetTime() - paused_at) < 1500; }, 5000));
    const int64_t shown_at = player().GetTime();
    QTest::qWait(800);
    EXPECT_LE(player().GetTime(), shown_at + 100) << "the clip stays paused";
}

TEST_F(PlayerWindowTest, TimeReportsDriveTheTelemetryAndTheGpsIndicator) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(rec().telemetry_clip.string())), 1);
    EXPECT_EQ(window->catalog().gps_rate(), 10.0) << "the catalogue read the clip's telemetry";
    EXPECT_EQ(window->gps_indicator()->color(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 500; }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->gps_indicator()->color() == 1; }, 3000))
        << "a time report with a valid fix lights the GPS indicator";
    EXPECT_GT(CClipCatalog::LastGpsIndex(), 0);

    // A seek past the end of the track shows no fix at once.
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetLength() > 0; }, 5000));
    Command(kIdcPlay);  // pause, so no time report follows
    window->seek_slider()->setValue(1000);
    Send(WM_SEEK_CHANGED);
    EXPECT_EQ(window->gps_indicator()->color(), 0);
}

TEST_F(PlayerWindowTest, MissingPathGivesAMessageNotACrash) {
    QString text;
    AcceptNextMessageBox(&text);
    EXPECT_EQ(window->OpenPath(QStringLiteral("/no/such/card")), 0);
    EXPECT_TRUE(text.contains(QStringLiteral("/no/such/card")));
    EXPECT_EQ(window->catalog().Count(), 0);
}

}  // namespace
}  // namespace orvo
