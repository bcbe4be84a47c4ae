// The main window as a player: commands, private messages and timers that
// drive the engine and keep the views in step with it.
#include "app/qor_dlg.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "app/bench_marker.h"
#include "app/control_ids.h"
#include "app/frame_step.h"
#include "app/ui_strings.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "controls/my_slider_control.h"
#include "controls/png_static.h"
#include "controls/video_slider.h"
#include "gps/html_map_dlg.h"
#include "gps/kml_export.h"
#include "gps/map_script.h"
#include "library/file_list_ctrl.h"
#include "library/folder_dialog.h"
#include "library/group_list_ctrl.h"
#include "library/media_open_dialog.h"
#include "platform/private_profile.h"
#include "playback/rate_table.h"
#include "playback/video_static.h"

namespace orvo {

namespace {

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

constexpr int kTimerRateOverlay = 102;
constexpr int kTimerSeek = 103;
constexpr int kTimerDelayedOpen = 105;
constexpr int kTimerGuard = 106;
constexpr int kGuardTimeoutMs = 100'000;
constexpr int kDelayedOpenTicks = 5;
constexpr int kOverlayTicks = 10;

// Pauses that give the engine time to settle after Stop and Play.
constexpr auto kSettleAfterStop = std::chrono::milliseconds(200);
constexpr int kSettleAfterPlayMs = 50;
// An engine that has neither played nor failed a clip this long after
// opening it will not show it (opening takes well under a second).
constexpr int kOpenWatchdogMs = 15'000;
// Skipped files named in the file list's tooltip; the rest are counted.
constexpr size_t kSkippedNamesShown = 12;

QString ReasonText(const SkippedFile& file) {
    switch (file.reason) {
        case SkipReason::kNotRegularFile:
            return Ui(301);
        case SkipReason::kCannotOpen:
            return file.error != 0 ? QStringLiteral("%1 (%2)").arg(
                                         Ui(302), QString::fromLocal8Bit(std::strerror(file.error)))
                                   : Ui(302);
        case SkipReason::kEmpty:
            return Ui(303);
        case SkipReason::kNotRecording:
            break;
    }
    return Ui(304);
}

void Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace

void CQORDlg::InstallPlaybackControls() {
    seek_slider_ = new CVideoSlider(this);
    InstallControl(kIdcPositionSlider, seek_slider_);
    seek_slider_->SetMessageTarget(this);
    connect(seek_slider_, &CVideoSlider::Scrolled, this, [this] { SeekFromSlider(false); });

    volume_ctrl_ = new CMySliderControl(this);
    InstallControl(kIdcVolumeSlider, volume_ctrl_);
    volume_ctrl_->SetMessageTarget(this);
    connect(volume_ctrl_, &CMySliderControl::Scrolled, this, [this] { VolumeFromSlider(); });

    connect(volume_edit_, &QLineEdit::textChanged, this, [this] { VolumeFromEdit(); });

    file_list_ctrl_ = new CQorFileListCtrl(this);
    InstallControl(kIdcFileList, file_list_ctrl_);
    file_list_ctrl_->SetMessageTarget(this);
    file_list_ctrl_->SetupStyle();
    file_list_ctrl_->SetupColumns();

    group_list_ctrl_ = new CQorGroupListCtrl(this);
    InstallControl(kIdcGroupList, group_list_ctrl_);
    group_list_ctrl_->SetMessageTarget(this);

    cue_settle_timer_.setSingleShot(true);
    connect(&cue_settle_timer_, &QTimer::timeout, this, [this] { FinishCue(); });
    open_watchdog_.setSingleShot(true);
    connect(&open_watchdog_, &QTimer::timeout, this, [this] {
        if (awaiting_playing_) ClipCannotBeShown(catalog_.SelectedIndex(), Ui(306), clip_start_);
    });
}

IGSensorView* CQORDlg::GSensorView() const {
    return dynamic_cast<IGSensorView*>(gsensor_);
}

void CQORDlg::SetPlayButton(bool on) {
    CGdipButton* play = Button(kIdcPlay);
    if (play == nullptr) return;
    play->SetToggled(on);
    play->SetGreyed(false);
    play->update();
}

void CQORDlg::MoveSeekSliderTo(int position) {
    if (position_slider_ != nullptr) position_slider_->setValue(position);
}

void CQORDlg::ShowGpsState(int state) {
    gps_indicator_->SetColor(state);
    gps_indicator_->update();
}

void CQORDlg::ShowRateOverlay() {
    int width = 0;
    int height = 0;
    if (catalog_.SelectedPictureSize(&width, &height) == 0) height = 0;
    last_overlay_ = MakeRateOverlay(rate_step_, height);
    player_->SetOverlayText(last_overlay_.text, last_overlay_.size, last_overlay_.enabled);
}

void CQORDlg::StartOverlaySequence() {
    ShowRateOverlay();
    overlay_ticks_ = kOverlayTicks;
    SetTimer(kTimerRateOverlay, 300);
}

void CQORDlg::SetGuard() {
    ClipSwitchGuard().store(1);
    SetTimer(kTimerGuard, kGuardTimeoutMs);
}

bool CQORDlg::OpenClipInEngine(int index, ClipStart start) {
    CancelCue();
    if (index >= 0) catalog_.SelectFile(index);
    if (catalog_.SelectClip(index) == 0 && index >= 0 && index < catalog_.Count()) {
        // Not a regular file any more, or gone: the engine would wait on a
        // FIFO for good, so it never sees such a file.
        MarkUnplayable(index, ReasonText(catalog_.open_failure()), start);
        return false;
    }
    current_clip_path_ = catalog_.FullPath(index);
    player_->Open(current_clip_path_);
    FitVideo();
    clip_start_ = start;
    clip_showed_time_ = false;
    awaiting_playing_ = player_->available() != 0;
    if (awaiting_playing_) open_watchdog_.start(kOpenWatchdogMs);
    return true;
}

void CQORDlg::StartClip(int index, ClipStart start) {
    if (!OpenClipInEngine(index, start)) return;
    player_->Play();
    StartOverlaySequence();
    WriteBenchMarker("clip");
}

int CQORDlg::NextPlayable(int from) const {
    for (int i = std::max(from, 0); i < catalog_.Count(); ++i) {
        if (unplayable_.count(catalog_.FullPath(i)) == 0) return i;
    }
    return -1;
}

int CQORDlg::PreviousPlayable(int before) const {
    for (int i = std::min(before, catalog_.Count()) - 1; i >= 0; --i) {
        if (unplayable_.count(catalog_.FullPath(i)) == 0) return i;
    }
    return -1;
}

void CQORDlg::StartNextPlayable(int from) {
    // Each failure marks its entry, so this ends after at most Count steps.
    for (int i = NextPlayable(from); i >= 0; i = NextPlayable(i + 1)) {
        if (OpenClipInEngine(i, ClipStart::kAutomatic)) {
            player_->Play();
            StartOverlaySequence();
            WriteBenchMarker("clip");
            return;
        }
    }
    CueFirstPlayable();
}

bool CQORDlg::CueClip(int index) {
    if (catalog_.Count() == 0) return false;
    if (!OpenClipInEngine(index, ClipStart::kCue)) return false;
    player_->Play();
    BeginCue(-1);
    return true;
}

void CQORDlg::CueFirstPlayable() {
    for (int i = NextPlayable(0); i >= 0; i = NextPlayable(i + 1)) {
        if (CueClip(i)) return;
    }
}

void CQORDlg::BeginCue(int64_t time_ms) {
    // The engine pauses only a clip that has reached its playing state (a
    // pause sent earlier is lost and the clip plays on), so the pause waits
    // for that report instead of blocking the window.
    cue_pending_ = true;
    cue_time_ms_ = time_ms;
    if (!player_->available()) FinishCue();
}

void CQORDlg::EngineStartedPlaying() {
    awaiting_playing_ = false;
    open_watchdog_.stop();
    if (cue_pending_ && !cue_settle_timer_.isActive()) cue_settle_timer_.start(kSettleAfterPlayMs);
}

void CQORDlg::FinishCue() {
    if (!cue_pending_) return;
    cue_pending_ = false;
    cue_settle_timer_.stop();
    // The engine's pause toggles: only a clip that still plays is paused.
    if (cue_time_ms_ >= 0) player_->SetTime(cue_time_ms_);
    if (player_->playing() || !player_->available()) player_->Pause();
    if (cue_time_ms_ < 0) {
        MoveSeekSliderTo(0);
        if (IGSensorView* graph = GSensorView()) graph->SetCursorTime(0);
    }
    SetPlayButton(false);
    if (end_rule_cue_) {
        end_rule_cue_ = false;
        const QWidget* play = Control(kIdcPlay);
        const QPoint centre = play->mapToGlobal(play->rect().center());
        WriteBenchMarker("cued " + std::to_string(centre.x()) + " " + std::to_string(centre.y()));
    }
}

void CQORDlg::CancelCue() {
    end_rule_cue_ = false;
    cue_pending_ = false;
    cue_settle_timer_.stop();
}

void CQORDlg::ShowNothingPlaying() {
    CancelCue();
    open_watchdog_.stop();
    awaiting_playing_ = false;
    PendingSeekTime().store(kNoPendingSeek);
    player_->Stop();
    // The stopped engine reports no more; what it reported before is stale.
    ++report_epoch_;
    SetPlayButton(false);
    MoveSeekSliderTo(0);
    ClearHeading();
    SetSpeed(false, 0);
    ShowGpsState(0);
    if (IGSensorView* graph = GSensorView()) {
        graph->SetSpeedReadout(false, 0);
        graph->SetCursorTime(0);
        graph->SetCurvesHidden(true);
        graph->Repaint();
    }
    if (auto* map = qobject_cast<CHtmlMapDlg*>(map_view_)) {
        map->RunScript(std::string(kPathDrivedDeleteScript));
    }
    step_time_ms_ = -1;
    if (frame_time_ != nullptr) frame_time_->clear();
    // The engine's picture goes with its stopped output; the surface paints
    // its own black over what was left.
    video_->update();
}

void CQORDlg::MarkUnplayable(int index, const QString& reason, ClipStart start) {
    const std::string path = catalog_.FullPath(index);
    const bool first_time = unplayable_.insert(path).second;
    ShowNothingPlaying();
    // No time report will come to release the clip-switch guard.
    ClipSwitchGuard().store(0);
    // Named once per card; a recording the user picks again is named again.
    if (first_time || start == ClipStart::kUser) ReportUnplayable(path, reason);
}

void CQORDlg::ClipCannotBeShown(int index, const QString& reason, ClipStart start) {
    if (index < 0 || index >= catalog_.Count()) return;
    MarkUnplayable(index, reason, start);
    if (start == ClipStart::kAutomatic) {
        StartNextPlayable(index + 1);
    } else if (start == ClipStart::kCue) {
        // On to the next one that can be shown; none: nothing is cued.
        for (int i = NextPlayable(index + 1); i >= 0; i = NextPlayable(i + 1)) {
            if (CueClip(i)) return;
        }
    }
}

void CQORDlg::ReportUnplayable(const std::string& path, const QString& reason) {
    // One box, not modal, that grows by a line per recording: playback goes
    // on behind it and nothing waits for the user's answer.
    const QString line = QStringLiteral("%1\n    %2").arg(QString::fromStdString(path), reason);
    if (unplayable_box_ == nullptr) {
        auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(),
                                    Ui(102) + QStringLiteral("\n\n") + line, QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("UnplayableRecordings"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        unplayable_box_ = box;
        box->show();
        return;
    }
    unplayable_box_->setText(unplayable_box_->text() + QStringLiteral("\n") + line);
}

void CQORDlg::ShowSkippedFiles() {
    if (file_list_ctrl_ == nullptr) return;
    const std::vector<SkippedFile>& skipped = catalog_.skipped();
    if (skipped.empty()) {
        file_list_ctrl_->setToolTip(QString());
        return;
    }
    QString text = Ui(300);
    text.replace(QStringLiteral("%d"), QString::number(skipped.size()));
    for (size_t i = 0; i < skipped.size() && i < kSkippedNamesShown; ++i) {
        text += QStringLiteral("\n%1: %2")
                    .arg(QString::fromStdString(
                             std::filesystem::path(skipped[i].path).filename().string()),
                         ReasonText(skipped[i]));
    }
    if (skipped.size() > kSkippedNamesShown) text += QStringLiteral("\n...");
    file_list_ctrl_->setToolTip(text);
}

void CQORDlg::ResetRate() {
    rate_step_ = kNormalRateStep;
    player_->SetRate(static_cast<float>(RateOfStep(rate_step_)));
}

int CQORDlg::OpenChoice(int mode, const QString& path) {
    open_mode_ = static_cast<uint8_t>(mode);
    if (mode == kOpenDrive || mode == kOpenFolder) {
        SetGuard();
        media_source_path_ = path.toStdString();
        if (media_source_path_.empty()) {
            ClipSwitchGuard().store(0);
            return 0;
        }
        catalog_.Reset();
        unplayable_.clear();
        video_->SetCountShown(true);
        video_->repaint();
        catalog_.Load(media_source_path_, std::string());
        StartIncidentScan();
        video_->SetCountShown(false);
        video_->repaint();
        ShowSkippedFiles();
        if (catalog_.Count() == 0) {
            ClipSwitchGuard().store(0);
            ShowNoRecordings(path);
            return 0;
        }
        if (mode == kOpenDrive) {
            StartNextPlayable(0);
            if (player_->playing()) SetPlayButton(true);
        } else {
            delayed_open_index_ = 0;
            delayed_open_countdown_ = kDelayedOpenTicks;
        }
        return 1;
    }
    catalog_.Reset();
    unplayable_.clear();
    const QFileInfo file(path);
    const int loaded =
        catalog_.Load(file.absolutePath().toStdString(), file.fileName().toStdString());
    StartIncidentScan();
    ShowSkippedFiles();
    if (loaded == 0 || catalog_.Count() == 0) {
        // The one chosen file was refused: say which and why, with the
        // launcher's start of it (if any) ended first.
        DropLaunchersClip();
        const SkippedFile refused = loaded != 0 && !catalog_.skipped().empty()
                                        ? catalog_.skipped().front()
                                        : DiagnoseRecordingFile(path.toStdString());
        QMessageBox::warning(
            this, Ui(131), QStringLiteral("%1\n\n%2\n%3").arg(Ui(307), path, ReasonText(refused)));
        return 0;
    }
    player_->SetWindow(static_cast<std::uintptr_t>(video_->winId()));
    if (!OpenClipInEngine(0, ClipStart::kUser)) return 0;
    SetPlayButton(true);
    player_->Play();
    return 1;
}

void CQORDlg::OpenMedia() {
    if (catalog_.Count() != 0 && ClipSwitchGuard().load() != 0) return;
    PendingSeekTime().store(kNoPendingSeek);
    player_->Stop();
    ResetRate();

    CMediaOpenDialog dialog(this);
    if (dialog.DoModal() != QDialog::Accepted) {
        // The clip was stopped for the dialog.
        ShowNothingPlaying();
        return;
    }
    switch (dialog.choice()) {
        case CMediaOpenDialog::kDisk:
            OpenChoice(kOpenDrive, dialog.drive());
            break;
        case CMediaOpenDialog::kFolder:
            OpenChoice(kOpenFolder, dialog.folder_path());
            break;
        default:
            OpenChoice(kOpenFile, dialog.file_path());
            break;
    }
}

int CQORDlg::OpenPath(const QString& path) {
    const QFileInfo target(path);
    if (path.isEmpty() || !target.exists()) {
        QMessageBox::warning(this, Ui(131), QStringLiteral("%1\n\n%2").arg(path, Ui(132)));
        return 0;
    }
    PendingSeekTime().store(kNoPendingSeek);
    player_->Stop();
    ResetRate();
    return OpenChoice(target.isDir() ? kOpenFolder : kOpenFile, target.absoluteFilePath());
}

void CQORDlg::OpenPathWhenShown(const QString& path) {
    // Runs once the window has painted for the first time (AfterFirstPaint),
    // so the window is on the screen and a message box has a parent to sit on.
    open_after_first_paint_ = path;
}

void CQORDlg::PlayPause() {
    int current = catalog_.SelectedIndex();
    PendingSeekTime().store(kNoPendingSeek);
    if (IGSensorView* graph = GSensorView()) {
        graph->SetCurvesHidden(false);
        graph->Repaint();
    }
    if (catalog_.Count() == 0) {
        SetPlayButton(false);
        return;
    }
    // The user takes over from a cue still waiting for its pause.
    const bool cueing = cue_pending_;
    CancelCue();
    if (!player_->available() || !player_->playing() || cueing) {
        if (current < 0) {
            current = 0;
            if (!OpenClipInEngine(0, ClipStart::kUser)) return;
        }
        player_->Play();
        StartOverlaySequence();
        return;
    }
    player_->Pause();
}

void CQORDlg::StopPlayback() {
    CancelCue();
    open_watchdog_.stop();
    awaiting_playing_ = false;
    PendingSeekTime().store(kNoPendingSeek);
    SetPlayButton(false);
    player_->Stop();
    ResetRate();
    ShowNothingPlaying();
    if (IGSensorView* graph = GSensorView()) {
        graph->SetCursorTime(0);
        graph->SetCurvesHidden(true);
        graph->Repaint();
    }
}

void CQORDlg::ChangeRate(bool faster) {
    rate_step_ = faster ? FasterRateStep(rate_step_) : SlowerRateStep(rate_step_);
    player_->SetRate(static_cast<float>(RateOfStep(rate_step_)));
    ShowRateOverlay();
}

void CQORDlg::NextClip() {
    const int s = catalog_.SelectedIndex();
    player_->Stop();
    // Recordings that could not be shown are passed by, as when playing on.
    if (s < 0 || s + 1 >= catalog_.Count()) {
        CueFirstPlayable();
    } else {
        StartNextPlayable(s + 1);
    }
}

void CQORDlg::PreviousClip() {
    const int s = catalog_.SelectedIndex();
    player_->Stop();
    const int previous = s >= 1 ? PreviousPlayable(s) : -1;
    if (previous >= 0) {
        StartClip(previous);
    } else {
        CueFirstPlayable();
    }
}

void CQORDlg::EndOfClip() {
    // An end before the clip's playing report belongs to the media before
    // it; an end without a single time report is a recording the engine
    // opened but could not show (a truncated file): never replayed.
    if (awaiting_playing_) return;
    const int s = catalog_.SelectedIndex();
    if (!clip_showed_time_ && s >= 0) {
        ClipCannotBeShown(s, Ui(305), auto_next_ ? clip_start_ : ClipStart::kUser);
        return;
    }
    if (auto_next_) {
        if (s < 0 || s + 1 >= catalog_.Count()) {
            player_->Stop();
            CueFirstPlayable();
            WriteBenchMarker("clip");
            // The marker that the clip is paused follows when the cue ends.
            end_rule_cue_ = cue_pending_;
        } else {
            StartNextPlayable(s + 1);
        }
        return;
    }
    player_->Stop();
    if (catalog_.Count() == 0) return;
    player_->Play();
    awaiting_playing_ = true;
    BeginCue(-1);
}

void CQORDlg::GroupClicked(int group) {
    if (ClipSwitchGuard().load() != 0 || group == -1) return;
    player_->Stop();
    Sleep(kSettleAfterStop);
    catalog_.SelectGroup(group);
    const int s = catalog_.SelectedIndex();
    if (s != -1) {
        SetGuard();
        StartClip(s);
    }
}

void CQORDlg::FileClicked(int index) {
    if (ClipSwitchGuard().load() != 0 || index == -1) return;
    player_->Stop();
    Sleep(kSettleAfterStop);
    if (index >= 0 && catalog_.SelectFile(index) != 0) {
        SetGuard();
        StartClip(index);
    }
}

bool CQORDlg::SortClips(int column, bool ascending) {
    if (ClipSwitchGuard().load() != 0 || column < 0 || column > 2) return false;
    StopPlayback();
    Sleep(kSettleAfterStop);
    catalog_.Sort(/*by_name=*/column != 0, ascending);
    // The list sorts its own rows by the same keys right after this returns;
    // refilled in the catalogue's order first, row i is catalogue row i even
    // where keys are equal and the two sorts could have ordered them apart.
    catalog_.RefillFileList();
    ShowIncidentRows();
    return true;
}

void CQORDlg::TimeUpdate(int64_t time_ms) {
    // Reports queued from the clip before a switch find the new one not
    // playing yet (time 0 or -1): only the engine's own time counts.
    if (time_ms > 0 && player_->GetTime() > 0) clip_showed_time_ = true;
    if (ApplyIncidentSeek()) return;
    OnEngineTime(time_ms);
    ShowGpsState(catalog_.UpdateTelemetry(time_ms, gsensor_shown_ != 0, map_shown_ != 0));
    FollowClipIncidents();
}

void CQORDlg::SeekFromSlider(bool jump_views) {
    const int64_t length = player_->GetLength();
    const int64_t position = position_slider_ != nullptr ? position_slider_->value() : 0;
    const int64_t target = position * (length / 1000);
    PendingSeekTime().store(target);
    if (jump_views) TimeUpdate(target);
}

void CQORDlg::ApplyPendingSeek() {
    const int64_t target = PendingSeekTime().load();
    if (target == kNoPendingSeek) return;
    // Paused, the engine shows the frame that holds the time sought; aiming
    // at its middle keeps a time on a frame's edge from showing the one
    // before, so the picture is the frame the views show.
    const double fps = player_->GetFps();
    player_->SetTime(player_->playing() ? target : FrameMiddleMs(FrameIndexAt(target, fps), fps));
    catalog_.RedrawDrivenPath(target);
    // A newer drag position that arrived meanwhile stays pending.
    int64_t expected = target;
    PendingSeekTime().compare_exchange_strong(expected, kNoPendingSeek);
}

void CQORDlg::VolumeFromSlider() {
    const int v = volume_ctrl_ != nullptr ? volume_ctrl_->value() : 0;
    player_->SetVolume(2 * v);
    volume_edit_->setText(QString::number(v));
}

void CQORDlg::VolumeFromEdit() {
    const int slider = volume_ctrl_ != nullptr ? volume_ctrl_->value() : 0;
    const int n = ParseProfileInt(volume_edit_->text().toStdString());
    if (n < 0 || n > 100) {
        player_->SetVolume(2 * slider);
        volume_edit_->setText(QString::number(slider));
        return;
    }
    player_->SetVolume(2 * n);
    if (volume_ctrl_ != nullptr) volume_ctrl_->setValue(n);
}

void CQORDlg::Snapshot() {
    if (catalog_.Count() == 0) {
        QMessageBox::information(this, Ui(145), Ui(136));
        return;
    }
    bool paused_here = false;
    if (player_->available() && player_->playing()) {
        player_->Pause();
        paused_here = true;
    }
    const QString jpeg = QStringLiteral("Jpeg File(*.jpg)");
    const QString png = QStringLiteral("Png File(*.png)");
    QFileDialog save(this);
    save.setObjectName(QStringLiteral("SnapshotDialog"));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setFileMode(QFileDialog::AnyFile);
    save.setNameFilters({jpeg, png});
    save.setDefaultSuffix(QStringLiteral("JPG"));
    // A name typed without extension takes the one of the chosen type.
    connect(&save, &QFileDialog::filterSelected, &save, [&save, png](const QString& filter) {
        save.setDefaultSuffix(filter == png ? QStringLiteral("png") : QStringLiteral("JPG"));
    });
    if (save.exec() == QDialog::Accepted && !save.selectedFiles().isEmpty()) {
        player_->TakeSnapshot(save.selectedFiles().first().toStdString());
    }
    if (paused_here) player_->Play();
}

bool CQORDlg::RequireClips() {
    if (catalog_.Count() != 0) return true;
    QMessageBox::information(this, Ui(145), Ui(136));
    return false;
}

void CQORDlg::SaveChecked() {
    if (!RequireClips()) return;
    player_->Stop();
    SetPlayButton(false);
    CFolderDialog picker(this, Ui(130));
    if (picker.DoModal() != CFolderDialog::kChosen) return;
    const std::string folder = picker.GetFolderPath().toStdString();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        QMessageBox::warning(this, Ui(131), Ui(132));
        return;
    }
    std::vector<std::string> failed;
    if (catalog_.CopyChecked(folder, this, &failed) == 0) {
        QMessageBox::information(this, Ui(144), Ui(135));
    } else if (!failed.empty()) {
        // A copy that did not complete must not pass for a saved recording.
        QString text = Ui(308);
        text.replace(QStringLiteral("%d"), QString::number(failed.size()));
        for (const std::string& path : failed)
            text += QLatin1Char('\n') + QString::fromStdString(path);
        QMessageBox::warning(this, Ui(131), text);
    }
}

void CQORDlg::DeleteCheckedClips() {
    if (!RequireClips()) return;
    player_->Stop();
    SetPlayButton(false);
    if (QMessageBox::question(this, Ui(128), Ui(129), QMessageBox::Ok | QMessageBox::Cancel) !=
        QMessageBox::Ok) {
        return;
    }
    if (catalog_.DeleteChecked() == 0) QMessageBox::information(this, Ui(144), Ui(135));
    StartIncidentScan();
}

void CQORDlg::UnlockCheckedClips() {
    if (!RequireClips()) return;
    if (catalog_.UnlockChecked() == 0) QMessageBox::information(this, Ui(144), Ui(135));
    StartIncidentScan();
}

void CQORDlg::ExportCurrentKml() {
    if (!RequireClips()) return;
    std::string written;
    const int ok = ExportKml(catalog_, KmlFolder(), &written);
    QString text = Ui(ok != 0 ? 125 : 126);
    text.replace(QStringLiteral("%s"), QString::fromStdString(written));
    QMessageBox::information(this, Ui(127), text);
}

void CQORDlg::Flip() {
    flip_ = !flip_;
    const int64_t time = player_->GetTime();
    const bool was_playing = player_->playing() != 0;
    const bool was_paused = player_->paused() != 0;
    player_->Stop();
    player_->Recreate(flip_);
    player_->SetWindow(static_cast<std::uintptr_t>(video_->winId()));
    // The new engine starts at the normal rate with sound on.
    player_->SetRate(static_cast<float>(RateOfStep(rate_step_)));
    if (CGdipButton* mute = Button(kIdcVolume)) player_->SetMute(mute->toggled());
    if (catalog_.Count() == 0) return;
    player_->Open(current_clip_path_);
    FitVideo();
    if (was_playing) {
        player_->Play();
        player_->SetTime(time);
        SetPlayButton(true);
    } else if (was_paused) {
        // A stopped engine ignores a pause: start the clip, put it back at
        // its time and pause it once it runs.
        player_->Play();
        awaiting_playing_ = true;
        BeginCue(time);
    } else {
        player_->Stop();
        SetPlayButton(false);
    }
}

bool CQORDlg::OnPlayerCommand(int id) {
    switch (id) {
        case kIdcOpen:
            OpenMedia();
            return true;
        case kIdcPlay:
            PlayPause();
            return true;
        case kIdcStop:
            StopPlayback();
            return true;
        case kIdcFast:
            ChangeRate(true);
            return true;
        case kIdcSlow:
            ChangeRate(false);
            return true;
        case kIdcNext:
            NextClip();
            return true;
        case kIdcPrev:
            PreviousClip();
            return true;
        case kIdcLoop:
            auto_next_ = !auto_next_;
            return true;
        case kIdcFlip:
            Flip();
            return true;
        case kIdcSnap:
            Snapshot();
            return true;
        case kIdcSave:
            SaveChecked();
            return true;
        case kIdcDel:
            DeleteCheckedClips();
            return true;
        case kIdcLock:
            UnlockCheckedClips();
            return true;
        case kIdcKml:
            ExportCurrentKml();
            return true;
        case kIdcVolume:
            if (CGdipButton* mute = Button(kIdcVolume)) player_->SetMute(mute->toggled());
            return true;
        default:
            return false;
    }
}

bool CQORDlg::OnPlayerMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    switch (message) {
        case WM_PLAYER_ERROR:
            if (wparam == 1 && catalog_.SelectedIndex() >= 0) {
                ClipCannotBeShown(catalog_.SelectedIndex(), Ui(305), clip_start_);
            } else {
                QMessageBox::information(this, QCoreApplication::applicationName(),
                                         wparam == 1 ? Ui(102) : QString());
            }
            return true;
        case WM_PLAYER_TIME:
            TimeUpdate(ShownTime(static_cast<int64_t>(static_cast<uint32_t>(wparam))));
            return true;
        case WM_PLAYER_END:
            EndOfClip();
            return true;
        case WM_GROUP_CLICKED:
            GroupClicked(static_cast<int>(static_cast<std::intptr_t>(wparam)));
            return true;
        case WM_FILE_CLICKED:
            FileClicked(static_cast<int>(static_cast<std::intptr_t>(wparam)));
            return true;
        case WM_VOLUME_CHANGED:
            VolumeFromSlider();
            return true;
        case WM_SEEK_CHANGED:
            SeekFromSlider(true);
            return true;
        case WM_SORT_CLIPS:
            return SortClips(static_cast<int>(static_cast<std::intptr_t>(wparam)), lparam != 0);
        default:
            return false;
    }
}

bool CQORDlg::OnPlayerTimer(int id) {
    switch (id) {
        case kTimerRateOverlay:
            ShowRateOverlay();
            if (overlay_ticks_ > 0) {
                --overlay_ticks_;
            } else {
                KillTimer(kTimerRateOverlay);
            }
            return true;
        case kTimerSeek:
            ApplyPendingSeek();
            return true;
        case kTimerDelayedOpen:
            if (delayed_open_countdown_ != 0 && delayed_open_countdown_ != -1) {
                const int was = delayed_open_countdown_--;
                if (was == 1 && delayed_open_index_ != -1) StartNextPlayable(delayed_open_index_);
            }
            if (first_paint_seen_ && open_after_first_paint_.isEmpty() &&
                delayed_open_countdown_ <= 0)
                StartMapBrowser();
            return true;
        case kTimerGuard:
            ClipSwitchGuard().store(0);
            KillTimer(kTimerGuard);
            return true;
        default:
            return false;
    }
}

}  // namespace orvo
