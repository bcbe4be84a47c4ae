// The main window's keyboard: player keys as window shortcuts (so they work
// whatever child has the focus; an edit box keeps the keys it types with),
// frame stepping, the wall-clock time of the frame on screen, and drops.
#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QTimer>

#include "app/control_ids.h"
#include "app/drop_target.h"
#include "app/frame_clock.h"
#include "app/frame_step.h"
#include "app/qor_dlg.h"
#include "app/ui_strings.h"
#include "controls/gdip_button.h"
#include "controls/png_static.h"
#include "gps/html_map_dlg.h"
#include "gps/map_script.h"
#include "library/file_list_ctrl.h"
#include "playback/player_event_sink.h"
#include "playback/video_static.h"

namespace orvo {

namespace {

constexpr int kFrameTimeFontPixels = 11;
constexpr int kNoRecordingsString = 250;
constexpr int kSmallestFrameTimeFontPixels = 8;

// The buttons whose command a key also gives, for their tooltips.
struct ButtonKey {
    int control;
    PlayerKey key;
};
constexpr ButtonKey kButtonKeys[] = {
    {kIdcPlay, PlayerKey::kPlayPause},  {kIdcPrev, PlayerKey::kPrevious},
    {kIdcNext, PlayerKey::kNext},       {kIdcFast, PlayerKey::kFaster},
    {kIdcSlow, PlayerKey::kSlower},     {kIdcVolume, PlayerKey::kMute},
    {kIdcFull, PlayerKey::kFullScreen}, {kIdcOpen, PlayerKey::kOpen},
    {kIdcConf, PlayerKey::kConfig},     {kIdcInfo, PlayerKey::kInformation},
};

std::optional<QString> DropTargetOf(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return std::nullopt;
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    if (auto path = DroppedPathToOpen(paths)) return QString::fromStdString(*path);
    return std::nullopt;
}

}  // namespace

QString CQORDlg::TipWithKey(int control, const QString& text) {
    for (const ButtonKey& entry : kButtonKeys) {
        if (entry.control == control)
            return QString::fromStdString(WithKeyHint(text.toStdString(), entry.key));
    }
    return text;
}

void CQORDlg::InstallKeys() {
    for (const KeyBinding& binding : PlayerKeyBindings()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(binding.keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        // Held keys repeat (seeking through a clip); toggles must not.
        const PlayerKey command = binding.command;
        shortcut->setAutoRepeat(
            command == PlayerKey::kSeekBack || command == PlayerKey::kSeekForward ||
            command == PlayerKey::kSeekBackFine || command == PlayerKey::kSeekForwardFine ||
            command == PlayerKey::kFrameBack || command == PlayerKey::kFrameForward);
        connect(shortcut, &QShortcut::activated, this, [this, command] { OnPlayerKey(command); });
    }
    // Enter plays the list's current row, only while the list has the focus.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), file_list_ctrl_);
        enter->setContext(Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, [this] { PlaySelectedRow(); });
    }

    setAcceptDrops(true);
    // The map page would open a dropped file itself; the window takes it.
    map_view_->setAcceptDrops(false);
    for (QWidget* child : map_view_->findChildren<QWidget*>()) child->setAcceptDrops(false);

    frame_time_ = new QLabel(this);
    frame_time_->setObjectName(QStringLiteral("FrameTime"));
    QPalette palette = frame_time_->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    frame_time_->setPalette(palette);
    frame_time_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    frame_time_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = frame_time_->font();
    font.setPixelSize(kFrameTimeFontPixels);
    frame_time_->setFont(font);
    const LayoutRect& r = layout_.frame_time;
    frame_time_->setGeometry(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
    frame_time_->setVisible(!full_screen_);
}

void CQORDlg::PressButton(int id) {
    // As a click would do, toggle picture included; hidden buttons (full
    // screen) still take the command.
    if (CGdipButton* button = Button(id)) button->Press();
}

void CQORDlg::OnPlayerKey(PlayerKey key) {
    switch (key) {
        case PlayerKey::kPlayPause:
            PressButton(kIdcPlay);
            break;
        case PlayerKey::kSeekBack:
        case PlayerKey::kSeekForward:
        case PlayerKey::kSeekBackFine:
        case PlayerKey::kSeekForwardFine:
        case PlayerKey::kStart:
        case PlayerKey::kEnd:
            SeekByKey(key);
            break;
        case PlayerKey::kFrameBack:
            StepFrame(false);
            break;
        case PlayerKey::kFrameForward:
            StepFrame(true);
            break;
        case PlayerKey::kPrevious:
            PressButton(kIdcPrev);
            break;
        case PlayerKey::kNext:
            PressButton(kIdcNext);
            break;
        case PlayerKey::kFaster:
            PressButton(kIdcFast);
            break;
        case PlayerKey::kSlower:
            PressButton(kIdcSlow);
            break;
        case PlayerKey::kMute:
            PressButton(kIdcVolume);
            break;
        case PlayerKey::kFullScreen:
            ToggleFullScreen();
            break;
        case PlayerKey::kLeaveFullScreen:
            if (full_screen_) ToggleFullScreen();
            break;
        case PlayerKey::kOpen:
        case PlayerKey::kFile:
            PressButton(kIdcOpen);
            break;
        case PlayerKey::kConfig:
            PressButton(kIdcConf);
            break;
        case PlayerKey::kInformation:
            PressButton(kIdcInfo);
            break;
    }
}

void CQORDlg::SeekByKey(PlayerKey key) {
    if (catalog_.Count() == 0 || !player_->available()) return;
    // Repeated keys add up from the target still on its way to the engine.
    const int64_t pending = PendingSeekTime().load();
    const int64_t now = pending != kNoPendingSeek ? pending : player_->GetTime();
    const int64_t length = player_->GetLength();
    const std::optional<int64_t> target = SeekKeyTarget(key, now, length);
    if (!target) return;
    // The slider's path: the views jump now, the engine on the next seek tick.
    step_time_ms_ = -1;
    PendingSeekTime().store(*target);
    MoveSeekSliderTo(SeekSliderPosition(*target, length));
    TimeUpdate(*target);
}

void CQORDlg::StepFrame(bool forward) {
    if (catalog_.Count() == 0 || !player_->available()) return;
    // A step replaces any seek still waiting for the tick.
    const int64_t pending = PendingSeekTime().exchange(kNoPendingSeek);
    if (player_->playing()) player_->Pause();
    if (pending != kNoPendingSeek) step_time_ms_ = pending;
    // The first step counts from the position the label shows.
    if (step_time_ms_ < 0) step_time_ms_ = std::max<int64_t>(0, player_->GetTime());
    const double fps = player_->GetFps();
    const int64_t frame = SteppedFrame(step_time_ms_, fps, forward, player_->GetLength());
    player_->SetTime(FrameMiddleMs(frame, fps));
    step_time_ms_ = FrameStartMs(frame, fps);
    MoveSeekSliderTo(SeekSliderPosition(step_time_ms_, player_->GetLength()));
    TimeUpdate(step_time_ms_);
}

void CQORDlg::FollowSeekInSteps() {
    const int64_t pending = PendingSeekTime().load();
    if (pending == kNoPendingSeek) return;
    step_time_ms_ = player_->playing() ? -1 : pending;
}

int64_t CQORDlg::ShownTime(int64_t reported_ms) const {
    return step_time_ms_ >= 0 && !player_->playing() ? step_time_ms_ : reported_ms;
}

void CQORDlg::OnEngineTime(int64_t time_ms) {
    if (player_->playing()) step_time_ms_ = -1;
    ShowFrameTime(step_time_ms_ >= 0 ? step_time_ms_ : time_ms);
}

void CQORDlg::PlaySelectedRow() {
    if (file_list_ctrl_ == nullptr) return;
    QTreeWidgetItem* item = file_list_ctrl_->currentItem();
    if (item == nullptr) return;
    FileClicked(file_list_ctrl_->indexOfTopLevelItem(item));
}

void CQORDlg::ShowFrameTime(int64_t time_ms) {
    if (frame_time_ == nullptr) return;
    const int index = catalog_.Count() != 0 ? catalog_.SelectedIndex() : -1;
    if (index < 0 || static_cast<size_t>(index) >= catalog_.entries().size()) {
        frame_time_->clear();
        return;
    }
    const ClipEntry& entry = catalog_.entries()[static_cast<size_t>(index)];
    int64_t length = player_->GetLength();
    if (length <= 0) length = entry.info.durationMs;
    const QString clock =
        QString::fromStdString(FrameClockText(entry.fileName, entry.info.startTime, time_ms));
    const QString position = QString::fromStdString(PositionLengthText(time_ms, length));
    // The narrowest window leaves about 110 pixels: a smaller font keeps the
    // date and time whole.
    QFont font = frame_time_->font();
    for (int pixels = kFrameTimeFontPixels; pixels >= kSmallestFrameTimeFontPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(clock) <= frame_time_->width()) break;
    }
    frame_time_->setFont(font);
    frame_time_->setText(clock.isEmpty() ? position : clock + QLatin1Char('\n') + position);
}

void CQORDlg::RefreshFrameTime() {
    if (PendingSeekTime().load() != kNoPendingSeek) return;
    if (catalog_.Count() == 0 || !player_->available()) return;
    const int64_t now = player_->GetTime();
    if (now >= 0) OnEngineTime(now);
}

void CQORDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (DropTargetOf(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CQORDlg::dragMoveEvent(QDragMoveEvent* event) {
    if (DropTargetOf(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CQORDlg::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = DropTargetOf(event->mimeData());
    if (!path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Opened once the drop has returned: the drag source waits for it, and a
    // scan or a message box must not run inside the drag loop.
    const QString target = *path;
    QTimer::singleShot(0, this, [this, target] { OpenPath(target); });
}

void CQORDlg::ShowNoRecordings(const QString& path) {
    player_->Stop();
    catalog_.Reset();
    current_clip_path_.clear();
    ShowNothingPlaying();
    if (auto* map = qobject_cast<CHtmlMapDlg*>(map_view_)) {
        map->RunScript(std::string(kPathDeleteScript));
    }
    QString text = QString::fromStdString(LoadUiString(kNoRecordingsString));
    text.replace(QStringLiteral("%s"), QDir::toNativeSeparators(path));
    QMessageBox::information(this, caption_, text);
}

}  // namespace orvo
