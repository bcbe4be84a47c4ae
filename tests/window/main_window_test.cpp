#include "app/qor_dlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "app/about_dlg.h"
#include "app/control_ids.h"
#include "app/menu_text.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "gps/png_compass_static.h"
#include "gps/speed_label_static.h"
#include "gps/status_board_static.h"
#include "playback/video_static.h"
#include "tests/support/recording_writer.h"

namespace orvo {
namespace {

constexpr QRgb kBackground = 0xFF282828;

QorDlgOptions QuietOptions() {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    return options;
}

QImage Render(CQORDlg& dlg) {
    return dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { CQorSettings::Instance().SetLanguage(0); }
    void TearDown() override { CQorSettings::Instance().SetLanguage(0); }
};

TEST_F(MainWindowTest, EveryControlExistsWithItsInitialVisibility) {
    CQORDlg dlg(nullptr, QuietOptions());
    const int shown[] = {
        kIdcOpen,     kIdcConf,           kIdcInfo,         kIdcSnap,   kIdcPlay,       kIdcSlow,
        kIdcFast,     kIdcPrev,           kIdcNext,         kIdcFull,   kIdcGsr,        kIdcVolume,
        kIdcClose,    kIdcMaxWindow,      kIdcMinimise,     kIdcVideo,  kIdcVideoFrame, kIdcLogo,
        kIdcFileList, kIdcPositionSlider, kIdcVolumeSlider, kIdcGSensor};
    const int hidden[] = {kIdcSave,          kIdcDel,       kIdcLock,       kIdcStop,
                          kIdcLoop,          kIdcFlip,      kIdcKml,        kIdcMap,
                          kIdcRestoreWindow, kIdcAbout,     kIdcSmall,      kIdcMedium,
                          kIdcGpsIndicator,  kIdcCompass,   kIdcSpeedLabel, kIdcStatusBoard,
                          kIdcNote,          kIdcVolumeEdit};
    for (int id : shown) {
        QWidget* w = dlg.findChild<QWidget*>(ControlName(id));
        ASSERT_NE(w, nullptr) << id;
        EXPECT_FALSE(w->isHidden()) << id;
    }
    for (int id : hidden) {
        QWidget* w = dlg.findChild<QWidget*>(ControlName(id));
        ASSERT_NE(w, nullptr) << id;
        EXPECT_TRUE(w->isHidden()) << id;
    }
    EXPECT_FALSE(dlg.Control(kIdcFlip)->isEnabled());
    EXPECT_FALSE(dlg.Control(kIdcCompass)->isEnabled());
    EXPECT_TRUE(dlg.Button(kIdcPlay)->toggle_mode());
    EXPECT_TRUE(dlg.Button(kIdcVolume)->toggle_mode());
    EXPECT_FALSE(dlg.Button(kIdcFast)->toggle_mode());
    EXPECT_EQ(dlg.Control(kIdcLogo)->geometry(), QRect(10, 0, 114, 36));
    auto* volume = qobject_cast<QSlider*>(dlg.Control(kIdcVolumeSlider));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->value(), 60);
    EXPECT_EQ(qobject_cast<QSlider*>(dlg.Control(kIdcPositionSlider))->maximum(), 1000);
    EXPECT_TRUE(dlg.HasTimer(103));
    EXPECT_TRUE(dlg.HasTimer(105));
}

TEST_F(MainWindowTest, RendersBackgroundVideoAreaAndPlayButton) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    const MainLayout& l = dlg.layout();
    ASSERT_EQ(dlg.Control(kIdcPlay)->geometry(),
              QRect(l.play.left, l.play.top, l.play.Width(), l.play.Height()));
    const QImage shot = Render(dlg);
    ASSERT_EQ(shot.size(), QSize(1000, 680));
    // A free spot between the top buttons' strip and the title buttons.
    EXPECT_EQ(shot.pixel(500, 20), kBackground);
    // Left of the black area, beside the position slider.
    EXPECT_EQ(shot.pixel(3, 300), kBackground);
    // Black behind the video, below it (the transport row's band), beside it.
    EXPECT_EQ(shot.pixel(10, 100), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(12, l.video_frame.bottom + 80), qRgb(0, 0, 0));
    // The video surface itself is dark grey inside the black frame.
    const QRect video = dlg.video()->geometry();
    EXPECT_EQ(shot.pixel(video.center()), kBackground);
    EXPECT_EQ(shot.pixel(l.video_frame.left + 1, l.video_frame.top + 1), qRgb(0, 0, 0));
    // The play button shows its light arrow on the black band.
    const QRect play = dlg.Control(kIdcPlay)->geometry();
    int light = 0;
    for (int y = play.top(); y <= play.bottom(); ++y)
        for (int x = play.left(); x <= play.right(); ++x)
            if (qGray(shot.pixel(x, y)) > 180) ++light;
    EXPECT_GT(light, 40);
    // The size grip lines end in the bottom-right corner.
    EXPECT_EQ(shot.pixel(995, 675), 0xFF969696u);
}

TEST_F(MainWindowTest, GSensorSwitchMovesVideoBottom) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1000, 680);
    dlg.SetPanes(true, true);
    EXPECT_EQ(dlg.Control(kIdcVideoFrame)->geometry().bottom() + 1, 680 - 254);
    dlg.SetPanes(true, false);
    EXPECT_EQ(dlg.Control(kIdcVideoFrame)->geometry().bottom() + 1, 680 - 98);
    EXPECT_TRUE(dlg.Control(kIdcGSensor)->isHidden());
}

TEST_F(MainWindowTest, WorkAreaModeSwapsButtonsAndRestores) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.setGeometry(40, 30, 1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    dlg.ToggleWorkArea();
    EXPECT_TRUE(dlg.work_area());
    EXPECT_TRUE(dlg.Control(kIdcMaxWindow)->isHidden());
    EXPECT_FALSE(dlg.Control(kIdcRestoreWindow)->isHidden());
    EXPECT_EQ(dlg.saved_rect(), QRect(40, 30, 1000, 680));
    dlg.ToggleWorkArea();
    EXPECT_FALSE(dlg.work_area());
    EXPECT_EQ(dlg.geometry(), QRect(40, 30, 1000, 680));
    EXPECT_FALSE(dlg.Control(kIdcMaxWindow)->isHidden());
}

TEST_F(MainWindowTest, FullScreenWithNoClipsDoesNothing) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1000, 680);
    CWindowMessageEvent toggle(WM_TOGGLE_FULLSCREEN, 0);
    QCoreApplication::sendEvent(&dlg, &toggle);
    EXPECT_FALSE(dlg.full_screen());
    EXPECT_EQ(dlg.size(), QSize(1000, 680));
}

TEST_F(MainWindowTest, FullScreenCoversMonitorAndReturnsToSavedRect) {
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    test_support::RecordingSpec recording;
    recording.width = 1920;
    recording.height = 1080;
    test_support::BuildCameraMov(recording).WriteFile(
        std::filesystem::path(card.path().toStdString()) / "NORM180501_120000.MOV");
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.setGeometry(20, 10, 1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(dlg.catalog().Load(card.path().toStdString(), ""), 1);
    ASSERT_EQ(dlg.catalog().Count(), 1);
    dlg.catalog().SelectFile(0);
    dlg.FitVideo();
    // 16:9 inside the 715 x 354 frame less its 2-pixel edge: height-bound,
    // centred horizontally.
    const QRect frame = dlg.Control(kIdcVideoFrame)->geometry();
    const QRect video = dlg.video()->geometry();
    EXPECT_EQ(video.height(), frame.height() - 4);
    EXPECT_EQ(video.width(), (frame.height() - 4) * 1920 / 1080);
    EXPECT_NEAR(video.center().x(), frame.center().x(), 1);

    CWindowMessageEvent toggle(WM_TOGGLE_FULLSCREEN, 0);
    QCoreApplication::sendEvent(&dlg, &toggle);
    QCoreApplication::processEvents();
    const QRect monitor = dlg.screen()->geometry();
    EXPECT_TRUE(dlg.full_screen());
    EXPECT_EQ(dlg.geometry(), monitor);
    EXPECT_EQ(dlg.Control(kIdcVideoFrame)->geometry(), QRect(QPoint(0, 0), monitor.size()));
    EXPECT_TRUE(dlg.Control(kIdcPlay)->isHidden());
    EXPECT_TRUE(dlg.HasTimer(100));
    EXPECT_EQ(dlg.saved_rect(), QRect(20, 10, 1000, 680));

    QCoreApplication::sendEvent(&dlg, &toggle);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg.full_screen());
    EXPECT_EQ(dlg.geometry(), QRect(20, 10, 1000, 680));
    EXPECT_FALSE(dlg.Control(kIdcPlay)->isHidden());
    EXPECT_EQ(dlg.Control(kIdcVideoFrame)->geometry().topLeft(), QPoint(15, 72));
}

TEST_F(MainWindowTest, ClosingInFullScreenStoresTheRectangleToComeBackTo) {
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    test_support::BuildCameraMov(test_support::RecordingSpec{})
        .WriteFile(std::filesystem::path(card.path().toStdString()) / "NORM180501_120000.MOV");
    {
        CQORDlg dlg(nullptr, QuietOptions());
        dlg.setGeometry(30, 20, 1000, 680);
        dlg.show();
        QCoreApplication::processEvents();
        ASSERT_EQ(dlg.catalog().Load(card.path().toStdString(), ""), 1);
        dlg.ToggleFullScreen();
        ASSERT_TRUE(dlg.full_screen());
        dlg.close();
    }
    const WindowPosition stored = CQorSettings::Instance().ReadWindowPosition(5000, 5000);
    EXPECT_FALSE(stored.work_area);
    EXPECT_EQ(stored.rect, (WindowRect{30, 20, 1030, 700}));
}

TEST_F(MainWindowTest, ClosingInWorkAreaModeStoresOnlyTheFlag) {
    {
        CQORDlg dlg(nullptr, QuietOptions());
        dlg.setGeometry(50, 60, 1000, 680);
        dlg.show();
        QCoreApplication::processEvents();
        dlg.close();
    }
    {
        CQORDlg dlg(nullptr, QuietOptions());
        dlg.show();
        QCoreApplication::processEvents();
        dlg.ToggleWorkArea();
        dlg.close();
    }
    const WindowPosition stored = CQorSettings::Instance().ReadWindowPosition(5000, 5000);
    EXPECT_TRUE(stored.work_area);
    EXPECT_EQ(stored.rect, (WindowRect{50, 60, 1050, 740}));
    CQorSettings::Instance().WriteWindowPosition(WindowRect{0, 0, 1000, 680}, false);
}

TEST_F(MainWindowTest, SmallAndMediumSizesLeaveWorkAreaMode) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.show();
    QCoreApplication::processEvents();
    dlg.ToggleWorkArea();
    ASSERT_TRUE(dlg.work_area());
    dlg.SetSmallWindow();
    EXPECT_FALSE(dlg.work_area());
    const QRect monitor = dlg.screen()->geometry();
    EXPECT_EQ(dlg.geometry(), QRect(monitor.left() + (monitor.width() - 800) / 2,
                                    monitor.top() + (monitor.height() - 560) / 2, 800, 560));
    dlg.SetMediumWindow();
    EXPECT_EQ(dlg.width(), std::max(800, monitor.width() * 4 / 5));
}

TEST_F(MainWindowTest, ShowControlsHidesAndRestores) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1000, 680);
    dlg.ShowControls(false);
    EXPECT_TRUE(dlg.Control(kIdcPlay)->isHidden());
    EXPECT_TRUE(dlg.Control(kIdcGSensor)->isHidden());
    EXPECT_TRUE(dlg.Control(kIdcMaxWindow)->isHidden());
    dlg.ShowControls(true);
    EXPECT_FALSE(dlg.Control(kIdcPlay)->isHidden());
    EXPECT_FALSE(dlg.Control(kIdcGSensor)->isHidden());
    EXPECT_FALSE(dlg.Control(kIdcMaxWindow)->isHidden());
    EXPECT_TRUE(dlg.Control(kIdcStop)->isHidden());
}

TEST_F(MainWindowTest, PlayerStateMessageTogglesPlayButton) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.PostPlayerMessage(WM_PLAYER_STATE, kPlayerStatePlaying);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg.Button(kIdcPlay)->toggled());
    dlg.PostPlayerMessage(WM_PLAYER_STATE, kPlayerStatePaused);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg.Button(kIdcPlay)->toggled());
    dlg.MoveSeekSlider(250);
    QCoreApplication::processEvents();
    EXPECT_EQ(qobject_cast<QSlider*>(dlg.Control(kIdcPositionSlider))->value(), 250);
}

TEST_F(MainWindowTest, TelemetryPanelReachesCompassSpeedLabelAndStatusBoard) {
    CQORDlg dlg(nullptr, QuietOptions());
    ITelemetryPanel& panel = dlg;
    auto* compass = dlg.findChild<CPngCompassStatic*>(ControlName(kIdcCompass));
    auto* speed = dlg.findChild<CSpeedLabelStatic*>(ControlName(kIdcSpeedLabel));
    auto* board = dlg.findChild<CStatusBoardStatic*>(ControlName(kIdcStatusBoard));
    ASSERT_TRUE(compass && speed && board);
    EXPECT_EQ(compass->picture_count(), 8u);
    panel.SetHeading(180);
    EXPECT_EQ(compass->current_index(), 5u);
    panel.ClearHeading();
    EXPECT_EQ(compass->current_index(), 0u);
    panel.SetSpeed(true, 99);
    EXPECT_EQ(speed->speed_text(), QStringLiteral(" 99"));
    ICopyProgressView& progress = dlg;
    progress.ShowProgress(true);
    EXPECT_FALSE(board->isHidden());
    EXPECT_EQ(board->value_text(), QStringLiteral("0 %"));
    progress.SetProgress(42);
    EXPECT_EQ(board->value_text(), QStringLiteral("42 %"));
    progress.ShowProgress(false);
    EXPECT_TRUE(board->isHidden());
}

TEST_F(MainWindowTest, LanguageChangeRefreshesLabelsTipsAndNote) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    const QString english_note = qobject_cast<QLabel*>(dlg.Control(kIdcNote))->text();
    EXPECT_EQ(english_note, QStringLiteral("The GPS speed. Different from the actual speed."));
    EXPECT_EQ(dlg.Control(kIdcRestoreWindow)->toolTip(), QStringLiteral("Restore window"));
    EXPECT_EQ(dlg.Button(kIdcOpen)->icon_rect().left(), 20);
    const QImage before = dlg.Control(kIdcOpen)->grab().toImage();

    CQorSettings::Instance().SetLanguage(1);
    CWindowMessageEvent changed(WM_LANGUAGE_CHANGED, 1);
    QCoreApplication::sendEvent(&dlg, &changed);
    EXPECT_EQ(dlg.Button(kIdcOpen)->icon_rect().left(), 10);
    EXPECT_EQ(dlg.Button(kIdcConf)->icon_rect().left(), 16);
    EXPECT_NE(qobject_cast<QLabel*>(dlg.Control(kIdcNote))->text(), english_note);
    // The tip names the key that does the same.
    EXPECT_EQ(dlg.Control(kIdcPlay)->toolTip(),
              QString::fromStdString(LoadUiStringFor(1, 134)) + QStringLiteral(" (Space)"));
    EXPECT_NE(dlg.Control(kIdcPlay)->toolTip(), QStringLiteral("Play/Pause video"));
    const QImage after = dlg.Control(kIdcOpen)->grab().toImage();
    EXPECT_NE(before, after);
}

TEST_F(MainWindowTest, AboutBoxTitleFollowsLanguage) {
    {
        CAboutDlg about;
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About QOR"));
        auto* version = about.findChild<QLabel*>(ControlName(kIdcAboutVersion));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), QStringLiteral("Version 1.1.92"));
    }
    CQorSettings::Instance().SetLanguage(1);
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(),
              QString::fromStdString(MenuTextAsTitle(LoadUiStringFor(1, 101))));
    EXPECT_NE(about.windowTitle(), QStringLiteral("About QOR"));
}

TEST_F(MainWindowTest, InstalledViewTakesThePlaceholdersPlace) {
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.resize(1200, 800);
    dlg.show();
    QCoreApplication::processEvents();
    const QRect place = dlg.Control(kIdcFileList)->geometry();
    auto* list = new QWidget;
    dlg.InstallControl(kIdcFileList, list);
    EXPECT_EQ(dlg.Control(kIdcFileList), list);
    EXPECT_EQ(list->objectName(), ControlName(kIdcFileList));
    EXPECT_EQ(list->geometry(), place);
    dlg.resize(1300, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->geometry().right() + 1, 1300 - 15);
}

TEST_F(MainWindowTest, ClosingWritesThePosition) {
    {
        CQORDlg dlg(nullptr, QuietOptions());
        dlg.setGeometry(70, 40, 1100, 700);
        dlg.show();
        QCoreApplication::processEvents();
        dlg.close();
    }
    const WindowPosition stored = CQorSettings::Instance().ReadWindowPosition(5000, 5000);
    EXPECT_FALSE(stored.work_area);
    EXPECT_EQ(stored.rect, (WindowRect{70, 40, 1170, 740}));
}

// Which children are shown, by object name.
QStringList ShownChildren(const CQORDlg& dlg) {
    QStringList shown;
    for (const QWidget* child : dlg.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden() && !child->objectName().isEmpty()) shown << child->objectName();
    }
    shown.sort();
    return shown;
}

// A card folder with one recording, loaded into the window.
void LoadOneRecording(CQORDlg& dlg, const QTemporaryDir& card) {
    test_support::BuildCameraMov(test_support::RecordingSpec{})
        .WriteFile(std::filesystem::path(card.path().toStdString()) / "NORM180501_120000.MOV");
    ASSERT_EQ(dlg.catalog().Load(card.path().toStdString(), ""), 1);
}

TEST_F(MainWindowTest, AfterFullScreenTheWindowLooksAsBeforeOutsideTheVideo) {
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.setGeometry(20, 10, 1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    LoadOneRecording(dlg, card);
    const QStringList shown_before = ShownChildren(dlg);
    const QImage before = Render(dlg);
    dlg.ToggleFullScreen();
    ASSERT_TRUE(dlg.full_screen());
    dlg.ToggleFullScreen();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg.Control(kIdcNote)->isHidden()) << "the graph draws the note itself";
    EXPECT_EQ(ShownChildren(dlg).join(u' ').toStdString(), shown_before.join(u' ').toStdString());
    const QImage after = Render(dlg);
    ASSERT_EQ(after.size(), before.size());
    // The picture (frame, its black surround) may differ; nothing else.
    const QRect frame = dlg.Control(kIdcVideoFrame)->geometry();
    const QRect video_area(QPoint(frame.left() - 8, frame.top() - 8),
                           QPoint(frame.right() + 8, frame.bottom() + 8));
    int differing = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (video_area.contains(x, y)) continue;
            if (before.pixel(x, y) != after.pixel(x, y)) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(MainWindowTest, FullScreenFromWorkAreaModeReturnsToWorkAreaMode) {
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    CQORDlg dlg(nullptr, QuietOptions());
    dlg.setGeometry(40, 30, 1000, 680);
    dlg.show();
    QCoreApplication::processEvents();
    LoadOneRecording(dlg, card);
    dlg.ToggleWorkArea();
    const QRect work_area = dlg.geometry();
    dlg.ToggleFullScreen();
    ASSERT_TRUE(dlg.full_screen());
    dlg.ToggleFullScreen();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg.work_area());
    EXPECT_EQ(dlg.geometry(), work_area);
    EXPECT_TRUE(dlg.Control(kIdcMaxWindow)->isHidden());
    EXPECT_FALSE(dlg.Control(kIdcRestoreWindow)->isHidden());
    // L still brings back the normal rectangle of before [ ].
    dlg.Button(kIdcRestoreWindow)->click();
    EXPECT_FALSE(dlg.work_area());
    EXPECT_EQ(dlg.geometry(), QRect(40, 30, 1000, 680));
}

TEST_F(MainWindowTest, AboutBoxTitleShowsNoMnemonicOrEllipsis) {
    for (int language : {0, 1}) {
        CQorSettings::Instance().SetLanguage(language);
        CAboutDlg about;
        EXPECT_FALSE(about.windowTitle().contains(QLatin1Char('&'))) << language;
        EXPECT_FALSE(about.windowTitle().contains(QStringLiteral("..."))) << language;
    }
}

}  // namespace
}  // namespace orvo
