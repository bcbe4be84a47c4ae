// The player on a card that is damaged or changes while it plays: truncated
// recordings the parser accepts but the engine cannot show, a recording
// replaced by a FIFO after the scan, and files the scan leaves out. Real
// engine, real files; needs an X server (scripts/test.sh runs xvfb-run).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/ui_strings.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "controls/video_slider.h"
#include "controls/window_message_send.h"
#include "library/file_list_ctrl.h"
#include "metadata/parse_recording.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
namespace ts = orvo::test_support;

void Encode(const fs::path& out, double seconds, const char* pattern, const char* format = "mov") {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i " + std::string(pattern) +
        "=size=320x240:rate=25 -t " + std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f " + format + " '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The first 1000 bytes of an H.264 AVI: headers the parser accepts, not one
// frame the engine could show.
void WriteTruncatedAvi(const fs::path& out) {
    Encode(out, 2.0, "testsrc", "avi");
    fs::resize_file(out, 1000);
    ASSERT_EQ(ParseRecording(out, nullptr), 0) << "the parser must accept " << out;
}

// How long events posted to the window's thread wait before they are
// handled: one probe event at a time, the next 20 ms after the last.
class LatencyProbe : public QObject {
public:
    LatencyProbe() {
        clock_.start();
        Post();
    }
    qint64 worst_ms() const { return worst_ms_; }
    int handled() const { return handled_; }

protected:
    bool event(QEvent* event) override {
        if (event->type() != kProbeEvent) return QObject::event(event);
        worst_ms_ = std::max(worst_ms_, clock_.elapsed() - posted_at_);
        ++handled_;
        QTimer::singleShot(20, this, [this] { Post(); });
        return true;
    }

private:
    static constexpr QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::User + 77);
    void Post() {
        posted_at_ = clock_.elapsed();
        QCoreApplication::postEvent(this, new QEvent(kProbeEvent));
    }
    QElapsedTimer clock_;
    qint64 posted_at_ = 0;
    qint64 worst_ms_ = 0;
    int handled_ = 0;
};

class DamagedCardTest : public ::testing::Test {
protected:
    void SetUp() override {
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

    std::string Current() const { return fs::path(window->current_clip_path()).filename(); }

    ts::TempFolder card_;
    std::unique_ptr<CQORDlg> window;
};

// A truncated recording first, another in the middle, and a recording that
// becomes a FIFO while the card plays: every good one plays, each bad one is
// named once, the window keeps answering, and the end cues the first good
// recording paused.
TEST_F(DamagedCardTest, PlaysEveryGoodRecordingNamesEachBadOneOnceAndCuesTheFirstGood) {
    const fs::path dcim = card_.path() / "DCIM";
    fs::create_directories(dcim);
    WriteTruncatedAvi(dcim / "FILE180501_120000.AVI");
    Encode(dcim / "FILE180501_120002.MOV", 2.0, "testsrc");
    WriteTruncatedAvi(dcim / "FILE180501_120004.AVI");
    Encode(dcim / "FILE180501_120006.MOV", 2.0, "smptebars");
    Encode(dcim / "FILE180501_120008.MOV", 2.0, "testsrc2");
    const fs::path fifo = dcim / "FILE180501_120006.MOV";

    LatencyProbe probe;
    ASSERT_EQ(window->OpenPath(QString::fromStdString(card_.str())), 1);
    ASSERT_EQ(window->catalog().Count(), 5);

    // Once the first good recording plays, its successor becomes a FIFO.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return Current() == "FILE180501_120002.MOV" && window->Player().GetTime() > 0; },
        15'000));
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should the window block in open() on it, a writer set free after a
    // minute turns a hang into a failure.
    std::atomic<bool> done{false};
    std::thread release([&done, fifo] {
        for (int i = 0; i < 600 && !done.load(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (done.load()) return;
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });

    std::set<std::string> played;
    const bool cued = QTest::qWaitFor(
        [&] {
            if (window->Player().GetTime() > 0 && window->Player().playing())
                played.insert(Current());
            return played.count("FILE180501_120008.MOV") != 0 &&
                   Current() == "FILE180501_120002.MOV" && !window->cue_pending();
        },
        40'000);
    done.store(true);
    release.join();
    ASSERT_TRUE(cued) << "current: " << Current();

    EXPECT_EQ(played, (std::set<std::string>{"FILE180501_120002.MOV", "FILE180501_120008.MOV"}));
    EXPECT_EQ(window->catalog().SelectedIndex(), 1);
    EXPECT_TRUE(window->Player().paused());
    EXPECT_EQ(window->seek_slider()->value(), 0);
    std::set<std::string> bad;
    for (const std::string& path : window->unplayable()) bad.insert(fs::path(path).filename());
    EXPECT_EQ(bad, (std::set<std::string>{"FILE180501_120000.AVI", "FILE180501_120004.AVI",
                                          "FILE180501_120006.MOV"}));

    // One box, each bad recording named once in it, nothing else.
    ASSERT_NE(window->unplayable_box(), nullptr);
    EXPECT_FALSE(window->unplayable_box()->isModal());
    const std::string text = window->unplayable_box()->text().toStdString();
    for (const char* name :
         {"FILE180501_120000.AVI", "FILE180501_120004.AVI", "FILE180501_120006.MOV"}) {
        const size_t at = text.find(name);
        ASSERT_NE(at, std::string::npos) << name << " in " << text;
        EXPECT_EQ(text.find(name, at + 1), std::string::npos) << name << " named twice";
    }
    for (const char* name : {"FILE180501_120002.MOV", "FILE180501_120008.MOV"}) {
        EXPECT_EQ(text.find(name), std::string::npos) << name;
    }
    EXPECT_NE(text.find(LoadUiString(301)), std::string::npos) << "the FIFO's reason";

    // Cued for good: no retry loop, no further names, the window answers.
    QTest::qWait(2500);
    EXPECT_EQ(Current(), "FILE180501_120002.MOV");
    EXPECT_LT(window->Player().GetTime(), 400);
    EXPECT_EQ(window->unplayable_box()->text().toStdString(), text);

    RecordProperty("worst_event_latency_ms", static_cast<int>(probe.worst_ms()));
    std::cout << "worst latency of a posted event: " << probe.worst_ms() << " ms over "
              << probe.handled() << " events\n";
    // Generous: the old window blocked 3 s per cue and for good on the FIFO.
    EXPECT_LT(probe.worst_ms(), 1500);
}

// After the engine gave up on a recording nothing claims a moment that is
// not shown: PLAY off, slider at 0, no heading or speed, no pending cue.
TEST_F(DamagedCardTest, AChosenRecordingTheEngineCannotShowLeavesNothingPlaying) {
    Encode(card_.path() / "FILE180501_120000.MOV", 4.0, "testsrc");
    WriteTruncatedAvi(card_.path() / "FILE180501_120010.AVI");
    ASSERT_EQ(window->OpenPath(QString::fromStdString(card_.str())), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->Player().GetTime() > 1000; }, 15'000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->ClipSwitchGuard().load() == 0; }, 5000));

    SendWindowMessage(window.get(), WM_FILE_CLICKED, 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->unplayable_box() != nullptr; }, 10'000));
    EXPECT_EQ(window->catalog().SelectedIndex(), 1);
    EXPECT_FALSE(window->Player().playing());
    EXPECT_FALSE(window->Button(kIdcPlay)->toggled());
    EXPECT_EQ(window->seek_slider()->value(), 0);
    EXPECT_EQ(window->ClipSwitchGuard().load(), 0) << "other clicks count at once";
    QTest::qWait(1000);
    EXPECT_EQ(Current(), "FILE180501_120010.AVI") << "a chosen recording is not skipped";
    EXPECT_FALSE(window->Player().playing());
    EXPECT_FALSE(window->Button(kIdcPlay)->toggled());

    // Clicking the good one plays it again.
    SendWindowMessage(window.get(), WM_FILE_CLICKED, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->Player().GetTime() > 0; }, 10'000));
    EXPECT_EQ(Current(), "FILE180501_120000.MOV");
}

// The scan names what it left out in the list's tooltip; one chosen file
// that cannot be read is named in a message with the reason.
TEST_F(DamagedCardTest, SkippedFilesAreCountedAndARefusedFileIsNamed) {
    Encode(card_.path() / "FILE180501_120000.MOV", 1.0, "testsrc");
    std::ofstream(card_.path() / "FILE180501_120100.MOV");
    std::ofstream(card_.path() / "FILE180501_120200.MOV") << "random bytes, no boxes";
    ASSERT_EQ(::mkfifo((card_.path() / "FILE180501_120300.MOV").c_str(), 0600), 0);
    ASSERT_EQ(window->OpenPath(QString::fromStdString(card_.str())), 1);
    const QString tip = window->file_list()->toolTip();
    QString count = QString::fromStdString(LoadUiString(300));
    count.replace(QStringLiteral("%d"), QStringLiteral("3"));
    EXPECT_TRUE(tip.startsWith(count)) << tip.toStdString();
    for (const char* name :
         {"FILE180501_120100.MOV", "FILE180501_120200.MOV", "FILE180501_120300.MOV"}) {
        EXPECT_TRUE(tip.contains(QString::fromLatin1(name))) << name;
    }
    EXPECT_FALSE(tip.contains(QStringLiteral("FILE180501_120000.MOV")));

    for (const auto& [name, reason] :
         {std::pair{"FILE180501_120100.MOV", 303}, std::pair{"FILE180501_120200.MOV", 304},
          std::pair{"FILE180501_120300.MOV", 301}}) {
        QString text;
        QTimer::singleShot(0, [&text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            box->accept();
        });
        const fs::path path = card_.path() / name;
        EXPECT_EQ(window->OpenPath(QString::fromStdString(path.string())), 0);
        EXPECT_TRUE(text.contains(QString::fromStdString(path.string()))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromStdString(LoadUiString(reason))))
            << text.toStdString();
    }
}

}  // namespace
}  // namespace orvo
