#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QBasicTimer>
#include <QDialog>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include "app/key_commands.h"
#include "app/window_input.h"
#include "app/window_layout.h"
#include "export/clip_exporter.h"
#include "export/clip_span.h"
#include "library/clip_catalog.h"
#include "library/clip_views.h"
#include "playback/player_event_sink.h"
#include "playback/rate_table.h"
#include "playback/vlc_player.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;

namespace orvo {

class CGdipButton;
class CIncidentScanner;
struct RecordingScan;
class CMySliderControl;
class CQorFileListCtrl;
class CQorGroupListCtrl;
class CTripSummaryCache;
class CVideoSlider;
class CPngCompassStatic;
class CPelToolTipCtrl;
class CPngStatic;
class CSpeedLabelStatic;
class CStatusBoardStatic;
class CVideoStatic;
class CVideoStaticBg;

// How the window is built; tests use it to avoid modal boxes and to point
// the engine loader elsewhere.
struct QorDlgOptions {
    std::string engine_library = CVlcPlayer::kLibraryName;
    bool warn_when_engine_missing = true;
    // An engine already being created (the application starts it before
    // the toolkit); without one the window creates its own.
    std::shared_ptr<CVlcPlayer> engine;
};

// The program's only top-level window: a frameless dark dialog that owns
// every control, the clip catalogue and the engine binding, places the
// controls for any size (UpdateLayout), switches the window modes and
// repaints its background. Player commands connect through OnCommand and
// OnWindowMessage.
class CQORDlg : public QDialog,
                public ITelemetryPanel,
                public ICopyProgressView,
                public IPlayerEventSink {
    Q_OBJECT

public:
    explicit CQORDlg(QWidget* parent = nullptr, QorDlgOptions options = {});
    ~CQORDlg() override;

    // Places every control for a client size.
    void UpdateLayout(int cx, int cy);
    // Places the video surface inside its frame with the clip's aspect ratio.
    void FitVideo();
    // Shows or hides the controls around the video for full screen.
    void ShowControls(bool show);
    // Re-applies every language-dependent text.
    void ApplyLanguage();

    // Window modes.
    void SetSmallWindow();
    void SetMediumWindow();
    void ToggleWorkArea();
    void MinimiseWindow();
    void ToggleFullScreen();
    void ShowAbout();
    // Picture zoom and pan (app/qor_dlg_input.cpp), in video-surface pixels:
    // one wheel step at a surface point, and the surface's pan drag.
    void Zoom(int delta, int x, int y);
    void BeginPan(QPoint point);
    void Pan(Qt::MouseButtons buttons, QPoint point);
    void EndPan();
    const CropRect& crop() const { return crop_; }

    // Runs the configuration dialog; OK gives the map view its provider.
    void ShowConfig();
    int map_provider() const { return map_provider_; }

    // Window timers by id (100, 102, 103, 105, 106).
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool HasTimer(int id) const;

    // Controls by id (nullptr for an unknown id).
    QWidget* Control(int id) const;
    CGdipButton* Button(int id) const;
    // Puts `widget` in the place of control `id` (geometry, visibility,
    // object name) and deletes the placeholder; for the views that other
    // parts provide (G-sensor graph, map view, file list, sliders).
    void InstallControl(int id, QWidget* widget);

    const MainLayout& layout() const { return layout_; }
    bool full_screen() const { return full_screen_ != 0; }
    bool work_area() const { return work_area_ != 0; }
    bool map_shown() const { return map_shown_ != 0; }
    bool gsensor_shown() const { return gsensor_shown_ != 0; }
    void SetPanes(bool map_shown, bool gsensor_shown);
    QRect saved_rect() const { return saved_rect_; }
    CClipCatalog& catalog() { return catalog_; }
    CVideoStatic* video() const { return video_; }
    CPngStatic* gps_indicator() const { return gps_indicator_; }
    CPelToolTipCtrl* tooltips() const { return tips_; }

    // Playback (app/qor_dlg_playback.cpp). Opens a folder (folder mode) or a
    // file (file mode) as OPEN would; a path that does not exist gives a
    // message box. 1 when recordings were found.
    int OpenPath(const QString& path);
    // The same, once the window's modal loop runs (the command line).
    void OpenPathWhenShown(const QString& path);
    int rate_step() const { return rate_step_; }
    int overlay_ticks() const { return overlay_ticks_; }
    int auto_next() const { return auto_next_; }
    int open_mode() const { return open_mode_; }
    const RateOverlay& last_overlay() const { return last_overlay_; }
    const std::string& current_clip_path() const { return current_clip_path_; }
    CVideoSlider* seek_slider() const { return seek_slider_; }
    CMySliderControl* volume_slider() const { return volume_ctrl_; }
    CQorFileListCtrl* file_list() const { return file_list_ctrl_; }
    QLineEdit* volume_edit() const { return volume_edit_; }
    // Full paths of the recordings of this card that could not be shown;
    // automatic continuation and the end rule pass them by.
    const std::set<std::string>& unplayable() const { return unplayable_; }
    // The one non-modal box that names them (null while none is shown).
    QMessageBox* unplayable_box() const { return unplayable_box_; }
    // True between a cue's Play and its Pause.
    bool cue_pending() const { return cue_pending_; }
    // Puts every view in the "nothing playing" state: engine stopped, no
    // picture, PLAY off, slider at 0, no heading, speed or G-sensor cursor.
    void ShowNothingPlaying();
    // The wall-clock time of the frame on screen and position / length
    // (app/qor_dlg_keys.cpp).
    QLabel* frame_time_label() const { return frame_time_; }
    // The position of the frame on screen, as the label and slider show it.
    int64_t shown_time_ms() const { return ShownTime(player_->GetTime()); }

    // A button's tooltip with the key that does the same appended.
    static QString TipWithKey(int control, const QString& text);
    // A key's command (app/qor_dlg_keys.cpp), as the window's shortcuts run it.
    void OnPlayerKey(PlayerKey key);
    // An opened folder or file held no recording: say so and clear the views.
    void ShowNoRecordings(const QString& path);

    // The file list's context menu for a row (-1: none) (app/qor_dlg_file_menu.cpp).
    std::unique_ptr<QMenu> BuildFileMenu(int row);

    // Incidents and trips (app/qor_dlg_incidents.cpp). N / Shift+N: the
    // next / previous incident of the card.
    void JumpToIncident(bool forward);
    const CIncidentScanner* incident_scanner() const { return incident_scanner_; }

    // Clip export (app/qor_dlg_clip.cpp). I and O set the start and end at
    // the playback position of the current recording; the end may lie in a
    // later recording of the same trip.
    void SetClipIn();
    void SetClipOut();
    void ClearClipSpan();
    // Asks for a file name, then writes the span with progress and says how
    // it went (Ctrl+Shift+E).
    void ExportClip();
    // The steps of ExportClip without its boxes, each off the window thread
    // while the window's events run: the span resolved against the files,
    // and the plan written to target with progress and cancel.
    ClipExportPlan PlanClipSpan();
    ClipExportResult ExportClipTo(const ClipExportPlan& plan, const QString& target, bool replace);
    const ClipSpan& clip_span() const { return clip_span_; }
    // The slider's context menu at a position in per mille of the recording.
    std::unique_ptr<QMenu> BuildSliderMenu(int per_mille);

    // ITelemetryPanel: the compass, the speed label and the status board.
    void SetHeading(int degrees) override;
    void ClearHeading() override;
    void SetSpeed(bool valid, unsigned speed_kmh) override;
    void SetProgress(int percent) override;

    // ICopyProgressView.
    bool ConfirmOverwrite(const std::string& target_path) override;
    void ShowProgress(bool shown) override;

    // IPlayerEventSink: runs on the engine's thread and only posts.
    void PostPlayerMessage(unsigned message, std::uintptr_t wparam) override;
    void MoveSeekSlider(int per_mille) override;
    void SwitchGpsIndicatorOff() override;
    CVlcPlayer& Player() override { return *player_; }
    std::atomic<std::int64_t>& PendingSeekTime() override { return pending_seek_ms_; }
    std::atomic<int>& ClipSwitchGuard() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A folder or recording dropped on the window opens as the open dialog
    // would (app/qor_dlg_keys.cpp).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Window move, grip resize, splitters, double click and wheel zoom
    // (app/qor_dlg_input.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Size of the decoded picture; tests stand in for the engine here.
    virtual VideoSize CurrentVideoSize() const { return player_->GetVideoSize(); }

    // A button command (the button's control id).
    virtual void OnCommand(int id);
    // A private message; true when handled.
    virtual bool OnWindowMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    // A window timer tick.
    virtual void OnTimer(int id);

private:
    void CreateControls();
    CGdipButton* AddButton(int id, int std_image, int alt_image, QSize size, bool shown);
    QWidget* AddPlaceholder(int id, bool shown);
    void Register(int id, QWidget* widget);
    void OnInitDialog();
    void ConnectEngine();
    void AfterFirstPaint();
    // Ends the launcher's recording when no open took it over, with what
    // its reports may have shown.
    void DropLaunchersClip();
    void StartMapBrowser();
    void PlaceWindow(const QRect& rect);
    void RebuildTips();
    void ApplyLabelMargins();
    QRect MonitorRect() const;
    QRect WorkAreaRect() const;
    void SaveWindowRect();
    void WriteWindowPositionAtClose();
    void SetMapViewShown(bool shown);
    void SetMapProvider(int provider);

    // Mouse input (app/qor_dlg_input.cpp).
    void InitInput();
    void RefreshMapView();
    // What a press at p would drag; nothing in full screen, where the panes
    // and their splitters are hidden.
    DragTarget DragTargetAt(QPoint p) const;
    // The grip resizes only the normal window.
    void ResizeFromGrip(QPoint p);
    void ApplyCrop(const CropRect& crop, int frame_width, int frame_height);

    // Keyboard and frame time (app/qor_dlg_keys.cpp).
    void InstallKeys();
    void PressButton(int id);
    void SeekByKey(PlayerKey key);
    void StepFrame(bool forward);
    // A seek about to reach the engine: while paused the picture lands on
    // the frame at its target, and steps count from there; playing, the
    // engine's clock counts again.
    void FollowSeekInSteps();
    // The position the views show for a time the engine reported: while
    // paused after steps or a seek, the frame on screen (the paused engine's
    // clock is only near it).
    int64_t ShownTime(int64_t reported_ms) const;
    void PlaySelectedRow();
    void ShowFrameTime(int64_t time_ms);
    // A time the engine reported; while paused after frame steps the
    // stepped position stands (the engine's clock does not follow them).
    void OnEngineTime(int64_t time_ms);
    void RefreshFrameTime();

    // Playback (app/qor_dlg_playback.cpp).
    enum OpenMode : uint8_t { kOpenDrive = 0, kOpenFolder = 1, kOpenFile = 2 };
    void InstallPlaybackControls();
    bool OnPlayerCommand(int id);
    bool OnPlayerMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    bool OnPlayerTimer(int id);
    IGSensorView* GSensorView() const;
    void SetPlayButton(bool on);
    void MoveSeekSliderTo(int position);
    void ShowGpsState(int state);
    void ShowRateOverlay();
    void StartOverlaySequence();
    void SetGuard();
    // How a clip came to be started: what happens when it cannot be shown.
    enum class ClipStart { kUser, kAutomatic, kCue };
    bool OpenClipInEngine(int index, ClipStart start);
    void StartClip(int index, ClipStart start = ClipStart::kUser);
    // Starts the first playable entry from `from` on; none: the end rule.
    void StartNextPlayable(int from);
    bool CueClip(int index);
    // The end rule: the first recording that can be shown, paused.
    void CueFirstPlayable();
    void BeginCue(int64_t time_ms);
    void FinishCue();
    void CancelCue();
    void EngineStartedPlaying();
    int NextPlayable(int from) const;
    int PreviousPlayable(int before) const;
    // A recording the catalogue or the engine could not show: marked, named
    // once, and passed by when it was reached automatically.
    void ClipCannotBeShown(int index, const QString& reason, ClipStart start);
    void MarkUnplayable(int index, const QString& reason, ClipStart start);
    void ReportUnplayable(const std::string& path, const QString& reason);
    void ShowSkippedFiles();
    void ResetRate();
    int OpenChoice(int mode, const QString& path);
    void OpenMedia();
    void PlayPause();
    void StopPlayback();
    void ChangeRate(bool faster);
    void NextClip();
    void PreviousClip();
    void EndOfClip();
    void GroupClicked(int group);
    void FileClicked(int index);
    bool SortClips(int column, bool ascending);
    void TimeUpdate(int64_t time_ms);
    void SeekFromSlider(bool jump_views);
    void ApplyPendingSeek();
    void VolumeFromSlider();
    void VolumeFromEdit();
    void Snapshot();
    bool RequireClips();
    void SaveChecked();
    void DeleteCheckedClips();
    void UnlockCheckedClips();
    void ExportCurrentKml();
    void Flip();

    // File list menu and keys (app/qor_dlg_file_menu.cpp).
    void InstallFileMenu();
    void ShowFileMenu(int row, QPoint global_position);
    // The menu's export actions for a row, in one place.
    void AddExportActions(QMenu* menu, int row);
    // Makes row the current clip (cued, paused at its start) unless it is
    // already; false when a clip switch is in progress.
    bool MakeRowCurrent(int row);
    void ExportRowGpx(int row);
    // The ticked recordings into an evidence package (app/qor_dlg_evidence.cpp).
    void ExportEvidencePackage();

    // Clip export (app/qor_dlg_clip.cpp).
    void InitClipExport();
    // A new card: the span starts over on its recordings.
    void ResetClipSpan();
    void ShowClipSpanMarks();
    // Sets a point of the span at a time of the current recording.
    void SetClipPoint(bool end, int64_t time_ms);
    int64_t PlaybackPositionMs();
    void ShowClipNote(const QString& text);

    // Incidents and trips (app/qor_dlg_incidents.cpp).
    void InitIncidents();
    void StartIncidentScan();
    const RecordingScan* IncidentScanOf(int entry) const;
    void OnIncidentResults(const std::vector<std::string>& paths);
    void ShowIncidentRows();
    void ShowIncidentsOfClip();
    void ShowTripOfClip();
    void RedrawTrip();
    void FollowClipIncidents();
    // The trip summary under a file-list row's tooltip; until it has been
    // read, a line saying it is being read.
    QString TripToolTipOfRow(int row);
    bool ApplyIncidentSeek();
    void SeekClipTo(int64_t time_ms);

    // Members in the order of the window's design.
    int client_width_ = 0;
    int client_height_ = 0;
    QString caption_;
    int work_area_ = 0;
    int restore_after_minimise_ = 0;
    int full_screen_ = 0;
    QRect saved_rect_;  // left, top, client width, client height
    int overlay_ticks_ = 10;
    int rate_step_ = 7;
    int auto_next_ = 1;
    int flip_ = 0;
    int map_shown_ = 1;
    int gsensor_shown_ = 1;
    LayoutRect map_splitter_rect_;
    LayoutRect pane_splitter_rect_;
    int right_pane_width_ = 380;
    int map_height_ = 340;
    int map_provider_ = 0;
    std::atomic<std::int64_t> pending_seek_ms_{kNoPendingSeek};
    // Moved on by every stop to "nothing playing": the engine's reports
    // carry the value they were posted with, and older ones still queued
    // would show the stopped clip again.
    std::atomic<std::intptr_t> report_epoch_{0};
    CClipCatalog catalog_;
    QorDlgOptions options_;
    std::shared_ptr<CVlcPlayer> player_;

    QHash<int, QWidget*> controls_;
    CVideoStatic* video_ = nullptr;
    CVideoStaticBg* video_frame_ = nullptr;
    QWidget* gsensor_ = nullptr;   // placeholder until the graph is installed
    QWidget* map_view_ = nullptr;  // placeholder until the map view is installed
    QWidget* file_list_ = nullptr;
    QWidget* group_list_ = nullptr;
    QSlider* position_slider_ = nullptr;
    QSlider* volume_slider_ = nullptr;
    QLineEdit* volume_edit_ = nullptr;
    QPushButton* lock_button_ = nullptr;
    CPngStatic* gps_indicator_ = nullptr;
    CPngStatic* logo_ = nullptr;
    CPngStatic* banner_ = nullptr;
    CPngCompassStatic* compass_ = nullptr;
    CSpeedLabelStatic* speed_label_ = nullptr;
    CStatusBoardStatic* status_board_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* frame_time_ = nullptr;
    std::map<int, bool> shown_before_hide_;  // controls ShowControls(true) brings back
    int64_t step_time_ms_ = -1;              // position reached by frame steps; -1 = none
    QImage strip_;                           // bitmap 198 behind the top buttons
    CPelToolTipCtrl* tips_ = nullptr;
    bool first_paint_seen_ = false;
    bool picture_reported_ = false;  // a time report has come
    int browser_wait_ticks_ = 0;
    QString open_after_first_paint_;  // the command line's path

    MainLayout layout_;
    int last_layout_cx_ = 0;  // size of the previous UpdateLayout from a resize
    int last_layout_cy_ = 0;
    std::map<int, QBasicTimer> timers_;

    // Mouse input (app/qor_dlg_input.cpp).
    bool grip_drag_ = false;
    bool map_splitter_drag_ = false;
    bool pane_splitter_drag_ = false;
    bool window_drag_ = false;   // moving the window ourselves
    QPoint window_drag_origin_;  // global mouse position at the press
    QPoint window_drag_start_;   // window position at the press
    CropRect crop_;
    QPoint pan_origin_;
    CropRect crop_at_pan_start_;
    int pan_drag_ = 0;

    // Playback state (app/qor_dlg_playback.cpp).
    int delayed_open_index_ = -1;
    int delayed_open_countdown_ = 0;  // ticks of timer 105 left; 0 or -1 = idle
    uint8_t open_mode_ = kOpenDrive;
    std::string media_source_path_;
    std::string current_clip_path_;
    RateOverlay last_overlay_;
    CVideoSlider* seek_slider_ = nullptr;
    CMySliderControl* volume_ctrl_ = nullptr;
    CQorFileListCtrl* file_list_ctrl_ = nullptr;
    CQorGroupListCtrl* group_list_ctrl_ = nullptr;

    // Incidents and trips (app/qor_dlg_incidents.cpp).
    CIncidentScanner* incident_scanner_ = nullptr;
    int incident_stop_ = -1;          // stop of the last N / Shift+N
    std::string incident_seek_path_;  // recording started by the jump
    int64_t incident_seek_ms_ = -1;   // its seek, applied at its first time report
    std::string incident_marks_path_;
    QTimer incident_rows_timer_;  // coalesces the row marks of arriving results
    std::string trip_drawn_key_;
    CTripSummaryCache* trip_summaries_ = nullptr;

    // Clip export (app/qor_dlg_clip.cpp).
    ClipSpan clip_span_;
    bool clip_export_running_ = false;

    // Recordings that could not be shown (app/qor_dlg_playback.cpp).
    std::set<std::string> unplayable_;
    QPointer<QMessageBox> unplayable_box_;
    ClipStart clip_start_ = ClipStart::kUser;
    bool clip_showed_time_ = false;  // the engine reported a time > 0
    bool awaiting_playing_ = false;  // opened, its playing report not seen yet
    bool cue_pending_ = false;
    bool end_rule_cue_ = false;  // the pending cue is the end rule's
    int64_t cue_time_ms_ = -1;   // where the cue puts the clip; -1 = at its start
    QTimer cue_settle_timer_;    // the settle time between a cue's Play and Pause
    QTimer open_watchdog_;       // an engine that never reports back on a clip
};

}  // namespace orvo
