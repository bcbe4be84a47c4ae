#include "app/qor_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QTimerEvent>
#include <QWindow>

#include "app/about_dlg.h"
#include "app/bench_marker.h"
#include "app/control_ids.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "config/pel_config_dlg.h"
#include "controls/gdi_plus_bitmap.h"
#include "controls/gdip_button.h"
#include "controls/pel_tool_tip_ctrl.h"
#include "controls/png_static.h"
#include "gps/html_map_dlg.h"
#include "gps/map_script.h"
#include "gps/png_compass_static.h"
#include "gps/speed_label_static.h"
#include "gps/status_board_static.h"
#include "gsensor/gsensor_ctrl.h"
#include "library/file_list_ctrl.h"
#include "playback/video_static.h"

namespace orvo {

namespace {

const QColor kBackground(0x28, 0x28, 0x28);
const QColor kGripColor(0x96, 0x96, 0x96);
constexpr int kIconId = 128;
constexpr int kStripBitmap = 198;
constexpr int kPatternBitmap = 189;
// The green tick every tip shows.
constexpr int kTipIconBitmap = 161;
constexpr int kSystemEdge = 2;  // the sunken edge taken off the video frame

// Messages the window posts to itself from the engine's thread; they follow
// the private messages in the user event range.
constexpr unsigned kMoveSeekSliderMessage = 0x0C20;
constexpr unsigned kGpsIndicatorOffMessage = 0x0C21;

constexpr int kTimerShiftKey = 100;
// Ticks of timer 105 (100 ms) the browser's start waits for a starting
// clip's first time report.
constexpr int kBrowserWaitTicks = 30;

QRect ToQRect(const LayoutRect& r) {
    return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

LayoutRect ToLayoutRect(const QRect& r) {
    return LayoutRect::FromSize(r.x(), r.y(), r.width(), r.height());
}

QString UiString(int id) {
    return QString::fromStdString(LoadUiString(id));
}

// Control id and tooltip string id, in the order the tips are built.
struct TipEntry {
    int control;
    int text;
};
constexpr TipEntry kTips[] = {
    {kIdcAbout, 198},      {kIdcConf, 183},  {kIdcDel, 182},    {kIdcClose, 195},
    {kIdcFast, 186},       {kIdcFlip, 190},  {kIdcGsr, 193},    {kIdcKml, 191},
    {kIdcLoop, 189},       {kIdcMap, 192},   {kIdcFull, 150},   {kIdcMaxWindow, 196},
    {kIdcMinimise, 197},   {kIdcOpen, 179},  {kIdcInfo, 164},   {kIdcPlay, 134},
    {kIdcSave, 181},       {kIdcPrev, 158},  {kIdcSlow, 184},   {kIdcNext, 157},
    {kIdcSnap, 180},       {kIdcStop, 185},  {kIdcVolume, 188}, {kIdcVolumeSlider, 187},
    {kIdcSpeedLabel, 199}, {kIdcSmall, 137}, {kIdcMedium, 138}, {kIdcRestoreWindow, 142},
};

std::atomic<int> g_clip_switch_guard{0};

}  // namespace

CQORDlg::CQORDlg(QWidget* parent, QorDlgOptions options)
    : QDialog(parent), caption_(QStringLiteral("Orvo Player")), options_(std::move(options)) {
    // The settings object comes into being here, at its first use.
    map_provider_ = CQorSettings::Instance().ReadMap();
    player_ = options_.engine ? std::move(options_.engine)
                              : std::make_shared<CVlcPlayer>(options_.engine_library);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("QORDlg"));
    InitArtResources();
    CreateControls();
    OnInitDialog();
}

CQORDlg::~CQORDlg() {
    for (auto& [id, timer] : timers_) timer.stop();
    // The engine's thread posts to this window: release the engine first.
    player_.reset();
}

std::atomic<int>& CQORDlg::ClipSwitchGuard() {
    return g_clip_switch_guard;
}

void CQORDlg::Register(int id, QWidget* widget) {
    widget->setObjectName(ControlName(id));
    controls_.insert(id, widget);
}

QWidget* CQORDlg::Control(int id) const {
    return controls_.value(id, nullptr);
}

CGdipButton* CQORDlg::Button(int id) const {
    return qobject_cast<CGdipButton*>(Control(id));
}

CGdipButton* CQORDlg::AddButton(int id, int std_image, int alt_image, QSize size, bool shown) {
    auto* button = new CGdipButton(this);
    Register(id, button);
    if (std_image != 0) button->LoadStdImage(std_image);
    if (alt_image != 0) {
        button->LoadAltImage(alt_image);
        if (button->has_alternate()) button->SetToggleMode(true);
    }
    button->resize(size);
    button->setVisible(shown);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

QWidget* CQORDlg::AddPlaceholder(int id, bool shown) {
    auto* widget = new QWidget(this);
    Register(id, widget);
    widget->setVisible(shown);
    return widget;
}

void CQORDlg::InstallControl(int id, QWidget* widget) {
    QWidget* old = Control(id);
    widget->setParent(this);
    Register(id, widget);
    if (old != nullptr && old != widget) {
        widget->setGeometry(old->geometry());
        // isHidden, not isVisible: the window itself may not be shown yet.
        widget->setVisible(!old->isHidden());
        widget->setEnabled(old->isEnabled());
        widget->stackUnder(old);
    }
    if (gsensor_ == old) gsensor_ = widget;
    if (map_view_ == old) map_view_ = widget;
    if (file_list_ == old) file_list_ = widget;
    if (group_list_ == old) group_list_ = widget;
    if (auto* slider = qobject_cast<QSlider*>(widget)) {
        if (position_slider_ == old) position_slider_ = slider;
        if (volume_slider_ == old) volume_slider_ = slider;
    }
    if (old != nullptr && old != widget) {
        // Out of sight and out of findChild's reach until it is deleted.
        old->hide();
        old->setObjectName(QString());
        old->deleteLater();
    }
}

void CQORDlg::CreateControls() {
    const QSize top_button(64, 80);
    const QSize small_button(48, 48);

    // The frame first so the surface and the status board stack above it.
    video_frame_ = new CVideoStaticBg(this);
    Register(kIdcVideoFrame, video_frame_);
    video_frame_->SetMessageTarget(this);
    video_ = new CVideoStatic(this);
    Register(kIdcVideo, video_);
    video_->SetMessageTarget(this);

    CGdipButton* open = AddButton(kIdcOpen, 139, 0, top_button, true);
    open->LoadLabelIcon(197, 159);
    CGdipButton* conf = AddButton(kIdcConf, 139, 0, top_button, true);
    conf->LoadLabelIcon(138, 160);
    CGdipButton* info = AddButton(kIdcInfo, 139, 0, top_button, true);
    info->LoadLabelIcon(138, 162);
    AddButton(kIdcSnap, 140, 0, top_button, true);
    AddButton(kIdcSave, 141, 0, top_button, false);
    AddButton(kIdcDel, 142, 0, top_button, false);
    lock_button_ = new QPushButton(QStringLiteral("LOCK"), this);
    Register(kIdcLock, lock_button_);
    lock_button_->hide();
    connect(lock_button_, &QPushButton::clicked, this, [this] { OnCommand(kIdcLock); });

    AddButton(kIdcPlay, 129, 132, QSize(64, 64), true);
    AddButton(kIdcStop, 133, 0, QSize(120, 120), true);
    AddButton(kIdcSlow, 137, 0, QSize(64, 64), true);
    AddButton(kIdcFast, 136, 0, QSize(64, 64), true);
    AddButton(kIdcPrev, 1046, 0, QSize(64, 64), true);
    AddButton(kIdcNext, 1047, 0, QSize(64, 64), true);
    AddButton(kIdcLoop, 143, 176, small_button, false);
    CGdipButton* flip = AddButton(kIdcFlip, 0, 0, small_button, false);
    flip->setEnabled(false);
    AddButton(kIdcKml, 145, 0, small_button, false);
    AddButton(kIdcMap, 146, 0, small_button, false);
    AddButton(kIdcFull, 1048, 0, small_button, true);
    AddButton(kIdcGsr, 147, 0, small_button, true);
    AddButton(kIdcVolume, 156, 155, QSize(64, 64), true);

    AddButton(kIdcClose, 151, 0, QSize(49, 20), true);
    AddButton(kIdcMaxWindow, 152, 0, QSize(27, 20), true);
    AddButton(kIdcRestoreWindow, 196, 0, QSize(27, 20), false);
    AddButton(kIdcMinimise, 153, 0, QSize(29, 20), true);
    AddButton(kIdcAbout, 154, 0, QSize(41, 32), true);
    AddButton(kIdcSmall, 1045, 0, QSize(41, 32), true);
    AddButton(kIdcMedium, 187, 0, QSize(41, 32), true);

    // Views that other parts provide replace these placeholders
    // (InstallControl); until then they keep their places in the layout.
    gsensor_ = AddPlaceholder(kIdcGSensor, true);
    map_view_ = AddPlaceholder(kIdcMapView, true);
    file_list_ = AddPlaceholder(kIdcFileList, true);
    group_list_ = AddPlaceholder(kIdcGroupList, true);

    position_slider_ = new QSlider(Qt::Horizontal, this);
    Register(kIdcPositionSlider, position_slider_);
    volume_slider_ = new QSlider(Qt::Horizontal, this);
    Register(kIdcVolumeSlider, volume_slider_);
    volume_edit_ = new QLineEdit(this);
    Register(kIdcVolumeEdit, volume_edit_);
    volume_edit_->hide();

    gps_indicator_ = new CPngStatic(this);
    Register(kIdcGpsIndicator, gps_indicator_);
    logo_ = new CPngStatic(this);
    Register(kIdcLogo, logo_);
    banner_ = new CPngStatic(this);
    Register(kIdcBanner, banner_);
    banner_->setEnabled(false);
    banner_->resize(0, 0);
    compass_ = new CPngCompassStatic(this);
    Register(kIdcCompass, compass_);
    compass_->resize(32, 32);
    speed_label_ = new CSpeedLabelStatic(this);
    Register(kIdcSpeedLabel, speed_label_);
    status_board_ = new CStatusBoardStatic(this);
    // It lies over the bottom of the video, a window of its own: only a
    // window can cover another, and the other controls have none.
    status_board_->setAttribute(Qt::WA_NativeWindow, true);
    Register(kIdcStatusBoard, status_board_);
    status_board_->hide();
    note_ = new QLabel(this);
    Register(kIdcNote, note_);
    QPalette note_palette = note_->palette();
    note_palette.setColor(QPalette::WindowText, Qt::white);
    note_->setPalette(note_palette);
    QFont note_font = note_->font();
    note_font.setPixelSize(11);
    note_->setFont(note_font);

    CGdiPlusBitmapResource strip;
    if (strip.Load(kStripBitmap, "BITMAP")) strip_ = strip.image();
}

void CQORDlg::ConnectEngine() {
    if (player_->available()) {
        player_->SetWindow(static_cast<std::uintptr_t>(video_->winId()));
        // The recording the launcher started: its picture shows in the
        // surface from the moment the window appears.
        if (const std::uintptr_t early = player_->early_surface()) {
            video_->EmbedSurface(static_cast<WId>(early));
            player_->SetEarlySurfaceDoneHandler([video = QPointer<CVideoStatic>(video_)] {
                if (video) video->ReleaseSurface();
            });
        }
        // Queued: the id is read once Qt has finished re-creating the window, and
        // without forcing a native window into existence halfway through.
        connect(
            video_, &CVideoStatic::NativeWindowChanged, this,
            [this] {
                if (WId id = video_->internalWinId())
                    player_->SetWindow(static_cast<std::uintptr_t>(id));
            },
            Qt::QueuedConnection);
        player_->AttachEvents(&OnPlayerEvent, static_cast<IPlayerEventSink*>(this));
        rate_step_ = 7;
        player_->SetRate(1.0f);
    } else if (options_.warn_when_engine_missing) {
        QMessageBox::warning(nullptr, UiString(131), UiString(133));
    }
    // Twice the volume slider's initial 60.
    player_->SetVolume(120);
}

void CQORDlg::StartMapBrowser() {
    // While a clip starts, the browser's start-up would take the processor
    // from the engine's first picture: it waits for the first time report
    // (timer 105 calls again), though not for ever.
    if (player_->playing() && !picture_reported_ && browser_wait_ticks_ < kBrowserWaitTicks) {
        ++browser_wait_ticks_;
        return;
    }
    if (auto* map = qobject_cast<CHtmlMapDlg*>(map_view_)) {
        WriteBenchStage("browser");
        map->StartBrowser();
    }
}

void CQORDlg::DropLaunchersClip() {
    if (!player_->DropUnclaimedEarlyClip()) return;
    // It may have said it plays: those reports are stale now.
    ++report_epoch_;
    SetPlayButton(false);
}

void CQORDlg::AfterFirstPaint() {
    // The command line's recording opens first (it waits for the engine if
    // need be), then the browser starts: its start-up blocks this thread for
    // a good part of a second, while the engine plays on its own threads. A
    // folder's delayed start comes first too (timer 105 starts the browser
    // once no start is pending).
    if (!open_after_first_paint_.isEmpty()) {
        WriteBenchStage("open");
        OpenPath(std::exchange(open_after_first_paint_, {}));
        WriteBenchStage("opened");
        DropLaunchersClip();
    }
    if (delayed_open_countdown_ <= 0) StartMapBrowser();
}

void CQORDlg::OnInitDialog() {
    CQorSettings& settings = CQorSettings::Instance();

    QIcon icon;
    CGdiPlusBitmapResource icon_image;
    if (icon_image.Load(kIconId)) icon.addPixmap(QPixmap::fromImage(icon_image.image()));
    setWindowIcon(icon);

    map_shown_ = settings.ReadInt("UI", "MAP_ENABLE", 1) != 0 ? 1 : 0;
    gsensor_shown_ = settings.ReadInt("UI", "GSNR_ENABLE", 1) != 0 ? 1 : 0;
    if (!gsensor_shown_) gsensor_->hide();

    // The engine may still be starting on its own thread: it is connected
    // here when it is ready (and always when it failed fast, as a missing
    // library does), else as soon as it is, or before the first operation
    // that needs it, whichever comes first. The window does not wait.
    player_->SetEngineReadyHandler([this] { ConnectEngine(); });
    if (player_->engine_created()) {
        player_->WaitForEngine();
    } else {
        QPointer<CQORDlg> self(this);
        player_->NotifyWhenCreated([self] {
            QMetaObject::invokeMethod(
                self, [self] { self->player_->WaitForEngine(); }, Qt::QueuedConnection);
        });
    }

    // The map view takes its placeholder's place, 2 pixels inside it and on
    // top; UpdateLayout places it from then on.
    // Its browser starts after the window's first paint (AfterFirstPaint).
    auto* map_view = new CHtmlMapDlg(this, CHtmlMapDlg::BrowserStart::kOnRequest);
    const QRect map_rect = map_view_->geometry().adjusted(2, 2, -2, -2);
    InstallControl(kIdcMapView, map_view);
    map_view->setGeometry(map_rect);
    map_view->raise();
    map_view->show();
    map_view->SetMapChoice(map_provider_);
    map_view->LoadPage();

    position_slider_->setRange(0, 1000);
    volume_slider_->setRange(0, 100);
    volume_slider_->setValue(60);
    volume_edit_->setText(QStringLiteral("60"));

    gps_indicator_->LoadImage(150);
    gps_indicator_->SetColor(0);
    gps_indicator_->resize(40, 40);
    gps_indicator_->hide();
    logo_->LoadImage(157);
    logo_->SetColor(1);
    logo_->setGeometry(10, 0, 114, 36);
    for (int id = 167; id <= 174; ++id) compass_->AddPicture(id);
    compass_->SetNoHeading();
    compass_->hide();
    compass_->setEnabled(false);
    speed_label_->hide();
    note_->hide();
    speed_label_->SetSpeed(false, 0);

    setWindowTitle(caption_);

    const QSize usable = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->availableGeometry().size()
                             : QSize(kMinWindowWidth, kMinWindowHeight);
    const WindowPosition position = settings.ReadWindowPosition(usable.width(), usable.height());
    const QRect loaded(position.rect.left, position.rect.top, position.rect.Width(),
                       position.rect.Height());
    if (position.work_area) {
        saved_rect_ = loaded;
        work_area_ = 1;
        PlaceWindow(WorkAreaRect());
        Control(kIdcRestoreWindow)->show();
        Control(kIdcMaxWindow)->hide();
    } else {
        PlaceWindow(loaded);
    }

    UpdateLayout(width(), height());
    status_board_->SetFillBitmap(kPatternBitmap);
    status_board_->repaint();

    ApplyLanguage();

    InstallPlaybackControls();
    InstallFileMenu();
    auto* gsensor_graph = new CGSensorCtrl(this);
    InstallControl(kIdcGSensor, gsensor_graph);
    catalog_.Bind(file_list_ctrl_, gsensor_graph, map_view, this);
    catalog_.BindScanCounter(video_);
    InstallKeys();
    // The installed views replaced controls that already had tips.
    RebuildTips();

    SetTimer(103, 500);
    SetTimer(105, 100);
    InitInput();
    InitIncidents();
    InitClipExport();
}

void CQORDlg::PlaceWindow(const QRect& rect) {
    setGeometry(rect);
    // A hidden window gets no resize event from setGeometry in every
    // platform plug-in; lay out for the new size at once.
    if (!isVisible()) UpdateLayout(rect.width(), rect.height());
}

QRect CQORDlg::MonitorRect() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry() : QRect(0, 0, kMinWindowWidth, kMinWindowHeight);
}

QRect CQORDlg::WorkAreaRect() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->availableGeometry() : QRect(0, 0, kMinWindowWidth, kMinWindowHeight);
}

void CQORDlg::SetPanes(bool map_shown, bool gsensor_shown) {
    map_shown_ = map_shown ? 1 : 0;
    gsensor_shown_ = gsensor_shown ? 1 : 0;
    gsensor_->setVisible(gsensor_shown && !full_screen_);
    UpdateLayout(width(), height());
    update();
}

void CQORDlg::UpdateLayout(int cx, int cy) {
    LayoutInput input;
    input.cx = cx;
    input.cy = cy;
    input.map_shown = map_shown_ != 0;
    input.gsensor_shown = gsensor_shown_ != 0;
    input.right_pane_width = right_pane_width_;
    input.map_height = map_height_;
    input.full_screen = full_screen_ != 0;
    const QRect monitor = MonitorRect().translated(-geometry().topLeft());
    input.monitor = ToLayoutRect(monitor);
    layout_ = ComputeMainLayout(input);
    const MainLayout& l = layout_;

    if (l.full_screen) {
        video_frame_->setGeometry(ToQRect(l.video_frame));
        FitVideo();
        return;
    }

    Control(kIdcClose)->setGeometry(ToQRect(l.close));
    Control(kIdcMaxWindow)->setGeometry(ToQRect(l.max_window));
    Control(kIdcRestoreWindow)->setGeometry(ToQRect(l.restore_window));
    Control(kIdcMinimise)->setGeometry(ToQRect(l.minimise));
    Control(kIdcMedium)->hide();
    Control(kIdcSmall)->hide();
    Control(kIdcAbout)->hide();

    map_view_->setGeometry(ToQRect(l.map_view));
    file_list_->setGeometry(ToQRect(l.file_list));
    map_splitter_rect_ = l.map_splitter;
    pane_splitter_rect_ = l.pane_splitter;

    position_slider_->setGeometry(ToQRect(l.position_slider));
    if (gsensor_shown_) gsensor_->setGeometry(ToQRect(l.gsensor));
    group_list_->setGeometry(ToQRect(l.group_list));
    status_board_->setGeometry(ToQRect(l.status_board));
    speed_label_->setGeometry(ToQRect(l.speed_label));
    note_->setText(UiString(156));
    note_->setGeometry(ToQRect(l.note));

    Control(kIdcGsr)->setGeometry(ToQRect(l.gsr));
    Control(kIdcSnap)->setGeometry(ToQRect(l.snap));
    Control(kIdcFull)->setGeometry(ToQRect(l.full));
    Control(kIdcVolume)->setGeometry(ToQRect(l.volume_button));
    volume_slider_->setGeometry(ToQRect(l.volume_slider));

    Control(kIdcPrev)->setGeometry(ToQRect(l.prev));
    Control(kIdcSlow)->setGeometry(ToQRect(l.slow));
    Control(kIdcPlay)->setGeometry(ToQRect(l.play));
    Control(kIdcFast)->setGeometry(ToQRect(l.fast));
    Control(kIdcNext)->setGeometry(ToQRect(l.next));
    if (frame_time_ != nullptr) frame_time_->setGeometry(ToQRect(l.frame_time));

    Control(kIdcStop)->hide();
    ApplyLabelMargins();

    Control(kIdcOpen)->setGeometry(ToQRect(l.open));
    Control(kIdcConf)->setGeometry(ToQRect(l.conf));
    Control(kIdcInfo)->setGeometry(ToQRect(l.info));

    video_frame_->setGeometry(ToQRect(l.video_frame));
    FitVideo();
    update();
}

void CQORDlg::FitVideo() {
    int picture_width = 0;
    int picture_height = 0;
    if (catalog_.SelectedPictureSize(&picture_width, &picture_height) != 1) {
        picture_width = picture_height = 0;
    }
    const LayoutRect fitted = FitVideoRect(ToLayoutRect(video_frame_->geometry()), kSystemEdge,
                                           full_screen_ != 0, picture_width, picture_height);
    video_->setGeometry(ToQRect(fitted));
}

void CQORDlg::ShowControls(bool show) {
    static constexpr int kFollowShow[] = {
        kIdcPlay,           kIdcNext,         kIdcPrev,  kIdcSlow,     kIdcFast,  kIdcConf,
        kIdcSnap,           kIdcOpen,         kIdcInfo,  kIdcFlip,     kIdcFull,  kIdcGsr,
        kIdcPositionSlider, kIdcVolumeSlider, kIdcClose, kIdcMinimise, kIdcAbout, kIdcVolume,
        kIdcLogo,           kIdcFileList,     kIdcSmall, kIdcMedium};
    static constexpr int kAlwaysHidden[] = {
        kIdcStop, kIdcDel,          kIdcSave,      kIdcLoop,       kIdcKml,         kIdcMap,
        kIdcLock, kIdcGpsIndicator, kIdcGroupList, kIdcSpeedLabel, kIdcStatusBoard, kIdcNote};
    if (!show) {
        // Showing them again restores exactly this: a control hidden before
        // (the note 1069, which the G-sensor graph draws itself; the unused
        // flip button) stays hidden, so the window looks as it did.
        shown_before_hide_.clear();
        for (int id : kFollowShow) shown_before_hide_[id] = !Control(id)->isHidden();
        for (int id : kAlwaysHidden) shown_before_hide_[id] = !Control(id)->isHidden();
    }
    auto shown_again = [this](int id, bool otherwise) {
        auto it = shown_before_hide_.find(id);
        return it != shown_before_hide_.end() ? it->second : otherwise;
    };
    for (int id : kFollowShow) Control(id)->setVisible(show && shown_again(id, true));
    if (frame_time_ != nullptr) frame_time_->setVisible(show);
    for (int id : kAlwaysHidden) Control(id)->setVisible(show && shown_again(id, false));
    gsensor_->setVisible(show && gsensor_shown_);
    Control(kIdcMaxWindow)->setVisible(show && !work_area_);
    Control(kIdcRestoreWindow)->setVisible(show && work_area_);
    if (show && map_shown_) {
        map_view_->show();
    } else {
        map_view_->setGeometry(0, 0, 1, 1);
    }
}

void CQORDlg::ApplyLabelMargins() {
    const bool japanese = CQorSettings::Instance().language_index() == 1;
    const LabelMargins open_info = OpenInfoLabelMargins(japanese);
    const LabelMargins conf = ConfLabelMargins(japanese);
    for (int id : {kIdcOpen, kIdcInfo}) {
        CGdipButton* button = Button(id);
        const QRect wanted(QPoint(open_info.left, open_info.top),
                           QPoint(open_info.right - 1, open_info.bottom - 1));
        if (button->icon_rect() != wanted) {
            button->SetIconRect(open_info.left, open_info.top, open_info.right, open_info.bottom);
        }
    }
    CGdipButton* conf_button = Button(kIdcConf);
    const QRect wanted(QPoint(conf.left, conf.top), QPoint(conf.right - 1, conf.bottom - 1));
    if (conf_button->icon_rect() != wanted) {
        conf_button->SetIconRect(conf.left, conf.top, conf.right, conf.bottom);
    }
}

void CQORDlg::RebuildTips() {
    if (tips_ == nullptr) {
        tips_ = new CPelToolTipCtrl(this);
        tips_->CreateTips(this);
    }
    tips_->RemoveAllTools();
    tips_->ClearTips();
    for (const TipEntry& tip : kTips) {
        QWidget* control = Control(tip.control);
        if (control == nullptr) continue;
        const QString text = TipWithKey(tip.control, UiString(tip.text));
        // The property keeps the text for accessibility; the styled tip
        // window is what hovering shows.
        control->setToolTip(text);
        tips_->AddTool(control, text);
    }
    for (const TipEntry& tip : kTips) tips_->AddTip(tip.control, 0, kTipIconBitmap);
}

void CQORDlg::ApplyLanguage() {
    if (file_list_ctrl_ != nullptr) file_list_ctrl_->RefreshHeadings();
    RebuildTips();
    gsensor_->repaint();
    ApplyLabelMargins();
    for (int id : {kIdcConf, kIdcOpen, kIdcInfo}) Button(id)->RefreshLabel();
    note_->setText(UiString(156));
    note_->update();
}

void CQORDlg::SaveWindowRect() {
    const QRect g = geometry();
    saved_rect_ = QRect(g.left(), g.top(), width(), height());
}

void CQORDlg::SetSmallWindow() {
    const LayoutRect r = SmallWindowRect(ToLayoutRect(MonitorRect()));
    work_area_ = 0;
    PlaceWindow(ToQRect(r));
}

void CQORDlg::SetMediumWindow() {
    const LayoutRect r = MediumWindowRect(ToLayoutRect(MonitorRect()));
    work_area_ = 0;
    PlaceWindow(ToQRect(r));
}

void CQORDlg::SetMapViewShown(bool shown) {
    map_view_->setVisible(shown);
    map_view_->setEnabled(shown);
}

void CQORDlg::ToggleWorkArea() {
    if (!work_area_) {
        SaveWindowRect();
        work_area_ = 1;
        PlaceWindow(WorkAreaRect());
        Control(kIdcRestoreWindow)->show();
        Control(kIdcMaxWindow)->hide();
    } else {
        work_area_ = 0;
        PlaceWindow(saved_rect_);
        Control(kIdcRestoreWindow)->hide();
        Control(kIdcMaxWindow)->show();
    }
    // Hiding and showing the map view makes the embedded page repaint.
    if (map_shown_) {
        map_view_->hide();
        map_view_->show();
    }
}

void CQORDlg::MinimiseWindow() {
    restore_after_minimise_ = 1;
    showMinimized();
}

void CQORDlg::ToggleFullScreen() {
    if (catalog_.Count() == 0) return;
    const bool was_paused = player_->paused() != 0;
    if (!was_paused) player_->Pause();
    if (full_screen_) {
        full_screen_ = 0;
        ShowControls(true);
        // Back to the mode it came from: work-area mode keeps its saved
        // normal rectangle for L.
        PlaceWindow(work_area_ ? WorkAreaRect() : saved_rect_);
        raise();
        show();
    } else {
        if (!work_area_) SaveWindowRect();
        full_screen_ = 1;
        ShowControls(false);
        const LayoutRect r = FullScreenWindowRect(ToLayoutRect(MonitorRect()), width(), height());
        PlaceWindow(ToQRect(r));
        raise();
        show();
        Control(kIdcPlay)->setFocus();
        SetTimer(kTimerShiftKey, 800);
        video_->update();
    }
    if (!was_paused) player_->Play();
}

void CQORDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CQORDlg::ShowConfig() {
    // Languages applied inside the dialog arrive as WM_LANGUAGE_CHANGED.
    CPelConfigDlg config(this);
    if (config.DoModal() == QDialog::Accepted) SetMapProvider(config.map_provider());
}

void CQORDlg::SetMapProvider(int provider) {
    map_provider_ = provider;
    auto* map = qobject_cast<CHtmlMapDlg*>(map_view_);
    if (map == nullptr) return;
    map->SetMapChoice(map_provider_);
    map->LoadPage();
    // The reloaded page starts empty: draw the selected clip's track again,
    // and the part already driven (the texts wait for the page).
    for (const GpsRecord& record : catalog_.GpsRecords()) {
        if (auto position = PositionOf(record)) {
            map->RunScript(PathPlotScript(position->latitude, position->longitude));
        }
    }
    const int64_t now = player_->GetTime();
    if (now > 0) catalog_.RedrawDrivenPath(now);
    RedrawTrip();
}

void CQORDlg::SetTimer(int id, int ms) {
    timers_[id].start(ms, this);
}

void CQORDlg::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second.stop();
    timers_.erase(it);
}

bool CQORDlg::HasTimer(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second.isActive();
}

void CQORDlg::timerEvent(QTimerEvent* event) {
    for (auto& [id, timer] : timers_) {
        if (timer.timerId() == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void CQORDlg::OnTimer(int id) {
    switch (id) {
        case kTimerShiftKey:
            // After entering full screen: bring the window to the front and
            // give it the keyboard.
            raise();
            activateWindow();
            KillTimer(kTimerShiftKey);
            break;
        default:
            if (id == 103) FollowSeekInSteps();
            OnPlayerTimer(id);
            // While paused the engine reports no time; a frame step or a
            // seek that just landed shows here.
            if (id == 103 && !player_->playing()) RefreshFrameTime();
            break;
    }
}

void CQORDlg::OnCommand(int id) {
    switch (id) {
        case kIdcClose:
            close();
            break;
        case kIdcMinimise:
            MinimiseWindow();
            break;
        case kIdcMaxWindow:
            ToggleWorkArea();
            break;
        case kIdcRestoreWindow:
            if (work_area_) ToggleWorkArea();
            break;
        case kIdcSmall:
            SetSmallWindow();
            break;
        case kIdcMedium:
            SetMediumWindow();
            break;
        case kIdcFull:
            ToggleFullScreen();
            break;
        case kIdcInfo:
        case kIdcAbout:
            ShowAbout();
            break;
        case kIdcConf:
            ShowConfig();
            break;
        case kIdcGsr:
            gsensor_shown_ = !gsensor_shown_;
            gsensor_->setVisible(gsensor_shown_ != 0);
            UpdateLayout(width(), height());
            CQorSettings::Instance().WriteInt("UI", "GSNR_ENABLE", gsensor_shown_ ? 1 : 0);
            update();
            break;
        case kIdcMap:
            if (full_screen_) break;
            map_shown_ = !map_shown_;
            UpdateLayout(width(), height());
            SetMapViewShown(map_shown_ != 0);
            CQorSettings::Instance().WriteInt("UI", "MAP_ENABLE", map_shown_ ? 1 : 0);
            break;
        default:
            OnPlayerCommand(id);
            break;
    }
}

bool CQORDlg::OnWindowMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    const bool engine_report = message == WM_PLAYER_STATE || message == WM_PLAYER_TIME ||
                               message == WM_PLAYER_END || message == kMoveSeekSliderMessage;
    // Posted before the last stop: the clip it speaks of is gone.
    if (engine_report && lparam != report_epoch_.load()) return true;
    if (message == WM_PLAYER_TIME && !picture_reported_) {
        WriteBenchStage("time");
        picture_reported_ = true;
    }
    switch (message) {
        case WM_LANGUAGE_CHANGED:
            ApplyLanguage();
            return true;
        case WM_MAP_CHANGED:
            SetMapProvider(CQorSettings::Instance().ReadMap());
            return true;
        case WM_TOGGLE_FULLSCREEN:
            ToggleFullScreen();
            return true;
        case WM_PLAYER_STATE: {
            CGdipButton* play = Button(kIdcPlay);
            if (wparam == 2 || wparam == 3) {
                play->SetToggled(true);
                step_time_ms_ = -1;
            } else if (wparam == 1 || wparam == 4) {
                play->SetToggled(false);
            } else {
                return true;
            }
            play->SetGreyed(false);
            play->update();
            if (wparam == kPlayerStatePlaying) {
                if (!picture_reported_) WriteBenchStage("playing");
                EngineStartedPlaying();
            }
            return true;
        }
        case kMoveSeekSliderMessage:
            // Paused on a stepped or sought frame the window has placed the
            // slider itself; the engine's rough clock would move it off.
            if (ShownTime(-1) >= 0) return true;
            position_slider_->setValue(static_cast<int>(wparam));
            return true;
        case kGpsIndicatorOffMessage:
            gps_indicator_->SetColor(0);
            return true;
        default:
            return OnPlayerMessage(message, wparam, lparam);
    }
}

bool CQORDlg::event(QEvent* event) {
    const auto type = static_cast<unsigned>(event->type());
    if (type >= WM_PLAYER_ERROR && type <= kGpsIndicatorOffMessage) {
        if (auto* message = dynamic_cast<CWindowMessageEvent*>(event)) {
            // A sender learns from the accepted flag whether the message was
            // acted on (a refused column sort leaves the list as it was).
            event->setAccepted(
                OnWindowMessage(message->message(), message->wparam(), message->lparam()));
            return true;
        }
    }
    if (event->type() == QEvent::WindowStateChange && restore_after_minimise_ &&
        !(windowState() & Qt::WindowMinimized)) {
        restore_after_minimise_ = 0;
        video_->show();
    }
    return QDialog::event(event);
}

void CQORDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int cx = width();
    const int cy = height();
    if (cx == 0 && cy == 0) return;
    client_width_ = cx;
    client_height_ = cy;
    if (full_screen_) clearMask();
    if (cx != last_layout_cx_ || cy != last_layout_cy_) {
        last_layout_cx_ = cx;
        last_layout_cy_ = cy;
        UpdateLayout(cx, cy);
    }
    if (restore_after_minimise_) {
        restore_after_minimise_ = 0;
        video_->show();
    }
    update();
}

void CQORDlg::paintEvent(QPaintEvent* /*event*/) {
    if (!first_paint_seen_) {
        first_paint_seen_ = true;
        WriteBenchStage("paint");
        // The next turn of the event loop, once this frame is on the screen.
        QTimer::singleShot(0, this, &CQORDlg::AfterFirstPaint);
    }
    QPainter painter(this);
    const QRect client = rect();
    painter.fillRect(client, kBackground);
    painter.setPen(QPen(kGripColor, 1));
    for (int n : {25, 20, 15, 10}) {
        painter.drawLine(QPoint(client.width() - n, client.height()),
                         QPoint(client.width(), client.height() - n));
    }
    if (!full_screen_) {
        if (!strip_.isNull()) {
            painter.drawImage(QRect(6, 38, client.width() - 12, 24), strip_);
        }
        const QRect frame = video_frame_->geometry();
        painter.fillRect(QRect(QPoint(frame.left() - 8, frame.top() - 8),
                               QPoint(frame.right() + 8, frame.bottom() + 88)),
                         Qt::black);
    }
}

void CQORDlg::WriteWindowPositionAtClose() {
    // In full screen the window covers the monitor; the rectangle to come
    // back to is the one saved on entering.
    const QRect r = full_screen_ ? saved_rect_ : geometry();
    WindowRect stored;
    stored.left = r.left();
    stored.top = r.top();
    stored.right = r.left() + r.width();
    stored.bottom = r.top() + r.height();
    CQorSettings::Instance().WriteWindowPosition(stored, work_area_ != 0);
}

void CQORDlg::closeEvent(QCloseEvent* event) {
    if (player_->available()) player_->Stop();
    WriteWindowPositionAtClose();
    event->accept();
    done(QDialog::Rejected);
}

void CQORDlg::keyPressEvent(QKeyEvent* event) {
    // Escape would end the dialog; the window ends only through closing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CQORDlg::SetHeading(int degrees) {
    compass_->SetHeading(degrees);
}

void CQORDlg::ClearHeading() {
    compass_->SetNoHeading();
}

void CQORDlg::SetSpeed(bool valid, unsigned speed_kmh) {
    speed_label_->SetSpeed(valid, speed_kmh);
}

void CQORDlg::SetProgress(int percent) {
    status_board_->SetProgress(percent);
}

bool CQORDlg::ConfirmOverwrite(const std::string& target_path) {
    QString text = UiString(141);
    text.replace(QStringLiteral("%s"), QString::fromStdString(target_path));
    return QMessageBox::question(this, UiString(140), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void CQORDlg::ShowProgress(bool shown) {
    if (shown) {
        status_board_->SetProgress(0);
        status_board_->raise();
    }
    status_board_->setVisible(shown);
}

void CQORDlg::PostPlayerMessage(unsigned message, std::uintptr_t wparam) {
    QCoreApplication::postEvent(this,
                                new CWindowMessageEvent(message, wparam, report_epoch_.load()));
}

void CQORDlg::MoveSeekSlider(int per_mille) {
    QCoreApplication::postEvent(
        this,
        new CWindowMessageEvent(kMoveSeekSliderMessage, static_cast<std::uintptr_t>(per_mille),
                                report_epoch_.load()));
}

void CQORDlg::SwitchGpsIndicatorOff() {
    QCoreApplication::postEvent(this, new CWindowMessageEvent(kGpsIndicatorOffMessage, 0));
}

}  // namespace orvo
