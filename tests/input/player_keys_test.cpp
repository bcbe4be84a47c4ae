// The player keys through real key events on the main window, with the real
// engine on ffmpeg recordings. Needs an X server (scripts/test.sh runs
// xvfb-run).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/control_ids.h"
#include "app/frame_step.h"
#include "app/qor_dlg.h"
#include "controls/gdip_button.h"
#include "controls/video_slider.h"
#include "library/file_list_ctrl.h"
#include "playback/player_event_sink.h"
#include "tests/support/engine_window_fixture.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

// A 30 fps H.264 recording; fails loudly when ffmpeg cannot make it.
void Encode(const fs::path& out, double seconds) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=30 -t " +
        std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -g 30 -pix_fmt yuv420p -f mov '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Frame n of this recording is a flat grey of luma 16 + 8 * (n mod 26):
// inside the video range, so a snapshot (turned to full-range RGB) tells
// which frame is on screen.
constexpr int kNumberedFrames = 26;
void EncodeNumberedFrames(const fs::path& out, double seconds) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
        "\"nullsrc=size=64x64:rate=30,geq=lum='16+mod(N,26)*8':cb=128:cr=128\" -t " +
        std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -qp 0 -g 30 -pix_fmt yuv420p -f mov '" + out.string() +
        "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

struct Recordings {
    fs::path root;
    fs::path card;   // two 20-second clips
    fs::path steps;  // one clip of numbered frames
};
Recordings* g_recordings = nullptr;

class PlayerKeysTest : public test_support::EngineWindowFixture {
protected:
    static void SetUpTestSuite() {
        if (g_recordings != nullptr) return;
        auto* r = new Recordings;
        r->root = fs::temp_directory_path() / ("orvo-keys-test-" + std::to_string(::getpid()));
        r->card = r->root / "CARD";
        fs::create_directories(r->card);
        Encode(r->card / "NORM180501_130000.MOV", 20.0);
        Encode(r->card / "NORM180501_130020.MOV", 20.0);
        r->steps = r->root / "STEPS";
        fs::create_directories(r->steps);
        EncodeNumberedFrames(r->steps / "NORM180501_140000.MOV", 6.0);
        g_recordings = r;
    }

    static void TearDownTestSuite() {
        std::error_code error;
        if (g_recordings != nullptr) fs::remove_all(g_recordings->root, error);
        delete g_recordings;
        g_recordings = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(g_recordings, nullptr);
        EngineWindowFixture::SetUp();
    }

    // The number (mod 26) of the frame on screen, from a snapshot; -1 when
    // the engine gave none.
    int FrameOnScreen() {
        const fs::path shot = g_recordings->root / "frame.png";
        if (player().TakeSnapshot(shot.string()) != 1) return -1;
        QImage image(QString::fromStdString(shot.string()));
        if (image.isNull()) return -1;
        const double luma =
            qGray(image.pixel(image.width() / 2, image.height() / 2)) * 219.0 / 255.0;
        return static_cast<int>(std::lround(luma / 8.0)) % kNumberedFrames;
    }

    // The frame the window says is on screen, from the position it shows.
    int64_t ShownFrame() const { return FrameIndexAt(window->shown_time_ms(), 30.0); }

    // Opens the card, lets the first clip play and pauses it at about 2 s.
    void OpenAndPauseNear2s(const fs::path& folder = g_recordings->card) {
        ASSERT_EQ(window->OpenPath(QString::fromStdString(folder.string())), 1);
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 1800; }, 15'000));
        Key(Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([this] { return player().paused() != 0; }, 3000));
        QTest::qWait(300);
    }

    // Waits until a key's seek has reached the engine and its time settled.
    int64_t SettledTime() {
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return window->PendingSeekTime().load() == kNoPendingSeek; }, 3000));
        QTest::qWait(400);
        return player().GetTime();
    }
};

TEST_F(PlayerKeysTest, SeekKeysLandWhereTheyPromiseAndTheFrameTimeFollows) {
    OpenAndPauseNear2s();
    // The list has the focus, as after a click on a row: the keys still seek.
    window->file_list()->setFocus();
    const int64_t start = player().GetTime();
    Key(Qt::Key_Right);
    int64_t now = SettledTime();
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(start + 5000), 500.0);
    EXPECT_TRUE(player().paused()) << "a seek keeps the pause";
    const QString label = window->frame_time_label()->text();
    EXPECT_TRUE(label.startsWith(QStringLiteral("2018-05-01 13:00:0"))) << label.toStdString();
    EXPECT_TRUE(label.endsWith(QStringLiteral(" / 00:20"))) << label.toStdString();

    const int64_t before_fine = now;
    Key(Qt::Key_Right, Qt::ShiftModifier);
    now = SettledTime();
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(before_fine + 1000), 500.0);
    Key(Qt::Key_Left);
    now = SettledTime();
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(before_fine - 4000), 500.0);

    Key(Qt::Key_End);
    now = SettledTime();
    EXPECT_NEAR(static_cast<double>(now), 19'000.0, 500.0) << "the last second";
    EXPECT_EQ(window->frame_time_label()->text(),
              QStringLiteral("2018-05-01 13:00:19\n00:19 / 00:20"));
    Key(Qt::Key_Home);
    now = SettledTime();
    EXPECT_LT(now, 500);
}

TEST_F(PlayerKeysTest, FrameStepsMoveExactlyOneFrameEitherWay) {
    OpenAndPauseNear2s(g_recordings->steps);
    // A step: the position shown moves one frame and the picture follows.
    auto step = [this](int key) {
        Key(key);
        const int64_t frame = ShownFrame();
        const int expected = static_cast<int>(frame % kNumberedFrames);
        EXPECT_TRUE(QTest::qWaitFor([&] { return FrameOnScreen() == expected; }, 5000))
            << "frame " << frame << " shown, picture " << FrameOnScreen();
        return frame;
    };
    // To 2 s sharp, the first frame after a key frame; a seek on a frame's
    // edge shows that frame.
    Key(Qt::Key_Home);
    SettledTime();
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    SettledTime();
    int64_t frame = ShownFrame();
    ASSERT_EQ(frame, 60);
    EXPECT_TRUE(QTest::qWaitFor([this] { return FrameOnScreen() == 60 % kNumberedFrames; }, 5000));
    // Back across the key frame, one frame at a time.
    for (int i = 0; i < 6; ++i) {
        const int64_t back = step(Qt::Key_Comma);
        EXPECT_EQ(back, frame - 1) << "step " << i;
        frame = back;
    }
    for (int i = 0; i < 3; ++i) {
        const int64_t on = step(Qt::Key_Period);
        EXPECT_EQ(on, frame + 1) << "after a step back";
        EXPECT_EQ(step(Qt::Key_Comma), frame) << "forward then back returns";
    }
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(step(Qt::Key_Period), frame + i);
    EXPECT_TRUE(player().paused()) << "steps keep the clip paused";
    EXPECT_FALSE(player().playing());
    const QString label = window->frame_time_label()->text();
    EXPECT_TRUE(label.startsWith(QStringLiteral("2018-05-01 14:00:0"))) << label.toStdString();
}

TEST_F(PlayerKeysTest, TransportAndWindowKeysGiveTheirButtonsCommands) {
    OpenAndPauseNear2s();
    Key(Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([this] { return player().playing() != 0; }, 3000));
    EXPECT_TRUE(window->Button(kIdcPlay)->toggled()) << "the button shows pause while playing";

    const int step = window->rate_step();
    Key(Qt::Key_Plus);
    EXPECT_EQ(window->rate_step(), step + 1);
    Key(Qt::Key_Minus);
    Key(Qt::Key_Minus);
    EXPECT_EQ(window->rate_step(), step - 1);

    Key(Qt::Key_M);
    EXPECT_TRUE(window->Button(kIdcVolume)->toggled());
    Key(Qt::Key_M);
    EXPECT_FALSE(window->Button(kIdcVolume)->toggled());

    Key(Qt::Key_PageDown);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->current_clip_path().ends_with("NORM180501_130020.MOV"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));
    Key(Qt::Key_PageUp);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->current_clip_path().ends_with("NORM180501_130000.MOV"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 10'000));

    Key(Qt::Key_F);
    EXPECT_TRUE(window->full_screen());
    Key(Qt::Key_Space);  // the keys work on in full screen
    EXPECT_TRUE(QTest::qWaitFor([this] { return player().paused() != 0; }, 3000));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window->full_screen());
    Key(Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "Escape never closes the window";
}

TEST_F(PlayerKeysTest, ModalKeysOpenTheirDialogs) {
    // Each key opens its dialog; the test closes it and notes its class.
    auto close_next = [](QString* seen) {
        QTimer::singleShot(300, [seen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            *seen = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        });
    };
    // Without a window manager nobody gives the window back its activation.
    auto key_when_active = [this](int key, Qt::KeyboardModifiers modifiers) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Key(key, modifiers);
    };
    QString seen;
    close_next(&seen);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(seen, QStringLiteral("orvo::CMediaOpenDialog"));
    seen.clear();
    close_next(&seen);
    key_when_active(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(seen, QStringLiteral("orvo::CMediaOpenDialog"));
    seen.clear();
    close_next(&seen);
    key_when_active(Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(seen, QStringLiteral("orvo::CPelConfigDlg"));
    seen.clear();
    close_next(&seen);
    key_when_active(Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(seen, QStringLiteral("orvo::CAboutDlg"));
}

TEST_F(PlayerKeysTest, AnEditBoxKeepsTheKeysItTypesWith) {
    OpenAndPauseNear2s();
    QLineEdit* edit = window->volume_edit();
    edit->show();
    edit->setFocus();
    edit->setText(QStringLiteral("4"));
    edit->setCursorPosition(1);
    Key(Qt::Key_Left);
    Key(Qt::Key_5);
    EXPECT_EQ(edit->text(), QStringLiteral("54"));
    Key(Qt::Key_Space);
    QTest::qWait(300);
    EXPECT_TRUE(player().paused()) << "Space typed in the box does not play";
}

TEST_F(PlayerKeysTest, EnterOnAListRowPlaysIt) {
    OpenAndPauseNear2s();
    CQorFileListCtrl* list = window->file_list();
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(1));
    Key(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->current_clip_path().ends_with("NORM180501_130020.MOV"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 0; }, 5000));
}

TEST_F(PlayerKeysTest, TabGivesImageButtonsAFocusMarkAndTheirTipsNameTheKey) {
    CGdipButton* play = window->Button(kIdcPlay);
    EXPECT_TRUE(play->toolTip().endsWith(QStringLiteral("(Space)")))
        << play->toolTip().toStdString();
    EXPECT_TRUE(window->Button(kIdcFull)->toolTip().endsWith(QStringLiteral("(F)")));
    play->setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(play->focus_mark_shown()) << "only keyboard focus is marked";
    const QImage unmarked = play->grab().toImage();
    play->clearFocus();
    play->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(play->focus_mark_shown());
    EXPECT_NE(play->grab().toImage(), unmarked);
    // Enter on the focused button gives its command.
    Key(Qt::Key_Return);
    EXPECT_FALSE(play->toggled()) << "nothing to play: the button stays at play";
}

// The "nothing playing" state every stop leaves.
void ExpectNothingPlaying(CQORDlg& window) {
    EXPECT_FALSE(window.Button(kIdcPlay)->toggled()) << "PLAY shows the stopped state";
    EXPECT_TRUE(window.frame_time_label()->text().isEmpty());
}

TEST_F(PlayerKeysTest, OpenThenCancelLeavesNothingPlaying) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(g_recordings->card.string())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 1000; }, 15'000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->Button(kIdcPlay)->toggled(); }, 3000));
    QTimer::singleShot(300, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    Key(Qt::Key_O, Qt::ControlModifier);
    QTest::qWait(500);
    ExpectNothingPlaying(*window);
}

TEST_F(PlayerKeysTest, AFolderWithoutRecordingsSaysSoAndClearsTheViews) {
    ASSERT_EQ(window->OpenPath(QString::fromStdString(g_recordings->card.string())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return player().GetTime() > 1000; }, 15'000));
    const fs::path empty = g_recordings->root / "EMPTY";
    fs::create_directories(empty);
    QString text;
    QTimer::singleShot(300, [&text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    EXPECT_EQ(window->OpenPath(QString::fromStdString(empty.string())), 0);
    EXPECT_TRUE(text.startsWith(QStringLiteral("No recordings were found in ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(empty.string())));
    EXPECT_EQ(window->file_list()->topLevelItemCount(), 0);
    EXPECT_EQ(window->catalog().Count(), 0);
    ExpectNothingPlaying(*window);
    EXPECT_FALSE(player().playing());
}

}  // namespace
}  // namespace orvo
