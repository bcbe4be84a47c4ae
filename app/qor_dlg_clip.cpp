// Clip export in the main window: the start and end marks (I, O and the
// position slider's menu), and the export itself, written on a worker thread
// with progress and cancel.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QShortcut>
#include <QThread>
#include <QToolTip>

#include "app/qor_dlg.h"
#include "app/ui_strings.h"
#include "controls/video_slider.h"
#include "incidents/card_incident_scan.h"
#include "library/documents_folder.h"
#include "playback/player_event_sink.h"

namespace orvo {

namespace {

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

QString WithPath(int id, const QString& path) {
    QString text = Ui(id);
    text.replace(QStringLiteral("%s"), QDir::toNativeSeparators(path));
    return text;
}

constexpr int kProgressSteps = 1000;

// Runs work on a thread of its own while the window's events keep running.
void RunOffWindowThread(const std::function<void()>& work) {
    QThread* worker = QThread::create(work);
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
}

// Why an export failed, in words a user can act on.
QString FailureText(const ClipExportResult& result) {
    int reason = 247;
    switch (result.status) {
        case ClipExportStatus::kEmptySpan:
            reason = 248;
            break;
        case ClipExportStatus::kUnreadable:
            reason = 244;
            break;
        case ClipExportStatus::kIncompatible:
            reason = 245;
            break;
        case ClipExportStatus::kTargetIsSource:
            reason = 246;
            break;
        case ClipExportStatus::kTargetExists:
            reason = 249;
            break;
        default:
            break;
    }
    QString text = Ui(reason);
    if (!result.detail.empty())
        text += QStringLiteral("\n(") + QString::fromStdString(result.detail) + ')';
    return text;
}

}  // namespace

void CQORDlg::InitClipExport() {
    const struct {
        QKeySequence keys;
        void (CQORDlg::*run)();
    } keys[] = {
        {QKeySequence(Qt::Key_I), &CQORDlg::SetClipIn},
        {QKeySequence(Qt::Key_O), &CQORDlg::SetClipOut},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &CQORDlg::ExportClip},
    };
    for (const auto& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, key.run);
    }
    connect(seek_slider_, &CVideoSlider::ContextMenuRequested, this,
            [this](int per_mille, QPoint global) {
                std::unique_ptr<QMenu> menu = BuildSliderMenu(per_mille);
                menu->exec(global);
            });
}

void CQORDlg::ResetClipSpan() {
    std::vector<SpanRecording> recordings;
    recordings.reserve(catalog_.entries().size());
    for (const ClipEntry& entry : catalog_.entries()) {
        recordings.push_back({RecordingPathOf(entry), entry.info});
    }
    clip_span_.SetRecordings(std::move(recordings));
    ShowClipSpanMarks();
}

void CQORDlg::ShowClipSpanMarks() {
    if (seek_slider_ == nullptr) return;
    CVideoSlider::SpanMarks shown;
    const int selected = catalog_.Count() != 0 ? catalog_.SelectedIndex() : -1;
    if (selected >= 0) {
        const ClipEntry& entry = catalog_.entries()[static_cast<size_t>(selected)];
        const ClipSpanMarks marks = clip_span_.MarksFor(RecordingPathOf(entry));
        const int64_t length = entry.info.durationMs;
        shown.covered = marks.covered;
        if (marks.in_ms) shown.in = SeekSliderPosition(*marks.in_ms, length);
        if (marks.out_ms) shown.out = SeekSliderPosition(*marks.out_ms, length);
    }
    seek_slider_->SetSpanMarks(shown);
}

int64_t CQORDlg::PlaybackPositionMs() {
    // Where the picture is, or is about to be: a seek on its way to the
    // engine, then a frame step, then the engine's clock.
    const int64_t pending = PendingSeekTime().load();
    if (pending != kNoPendingSeek) return pending;
    if (step_time_ms_ >= 0) return step_time_ms_;
    return std::max<int64_t>(0, player_->GetTime());
}

void CQORDlg::SetClipIn() {
    SetClipPoint(false, PlaybackPositionMs());
}

void CQORDlg::SetClipOut() {
    SetClipPoint(true, PlaybackPositionMs());
}

void CQORDlg::SetClipPoint(bool end, int64_t time_ms) {
    const int selected = catalog_.Count() != 0 ? catalog_.SelectedIndex() : -1;
    if (selected < 0) return;
    const std::string path = RecordingPathOf(catalog_.entries()[static_cast<size_t>(selected)]);
    const ClipSpanStatus status =
        end ? clip_span_.SetOut(path, time_ms) : clip_span_.SetIn(path, time_ms);
    switch (status) {
        case ClipSpanStatus::kOk:
            break;
        case ClipSpanStatus::kOutBeforeIn:
            ShowClipNote(Ui(240));
            break;
        case ClipSpanStatus::kOtherGroup:
            ShowClipNote(Ui(241));
            break;
        case ClipSpanStatus::kUnknownRecording:
            ShowClipNote(Ui(242));
            break;
    }
    ShowClipSpanMarks();
}

void CQORDlg::ClearClipSpan() {
    clip_span_.Clear();
    ShowClipSpanMarks();
}

void CQORDlg::ShowClipNote(const QString& text) {
    // A refused mark is told beside the slider, without a box to dismiss.
    QWidget* anchor = seek_slider_ != nullptr ? static_cast<QWidget*>(seek_slider_) : this;
    QToolTip::showText(anchor->mapToGlobal(QPoint(0, 0)), text, anchor);
}

std::unique_ptr<QMenu> CQORDlg::BuildSliderMenu(int per_mille) {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("SliderMenu"));
    const int selected = catalog_.Count() != 0 ? catalog_.SelectedIndex() : -1;
    int64_t time_ms = 0;
    if (selected >= 0) {
        const int64_t length = catalog_.entries()[static_cast<size_t>(selected)].info.durationMs;
        time_ms = static_cast<int64_t>(std::clamp(per_mille, 0, 1000)) * length / 1000;
    }
    auto add = [&](int text, const char* name, bool enabled, std::function<void()> run) {
        QAction* action = menu->addAction(Ui(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, std::move(run));
    };
    add(230, "SetClipStart", selected >= 0, [this, time_ms] { SetClipPoint(false, time_ms); });
    add(231, "SetClipEnd", selected >= 0, [this, time_ms] { SetClipPoint(true, time_ms); });
    add(232, "ClearClip", clip_span_.has_in() || clip_span_.has_out(), [this] { ClearClipSpan(); });
    menu->addSeparator();
    add(233, "ExportClip", clip_span_.complete(), [this] { ExportClip(); });
    return menu;
}

ClipExportPlan CQORDlg::PlanClipSpan() {
    std::vector<std::filesystem::path> recordings;
    for (const std::string& path : clip_span_.Recordings()) recordings.emplace_back(path);
    const int64_t from = clip_span_.FromMs();
    const int64_t to = clip_span_.ToMs();
    ClipExportPlan plan;
    if (recordings.empty()) {
        plan.status = ClipExportStatus::kEmptySpan;
        return plan;
    }
    // Opening the recordings and finding the keyframe reads the card.
    RunOffWindowThread([&] { plan = PlanClipExport(recordings, from, to); });
    return plan;
}

ClipExportResult CQORDlg::ExportClipTo(const ClipExportPlan& plan, const QString& target,
                                       bool replace) {
    QProgressDialog progress(WithPath(235, target), Ui(108), 0, kProgressSteps, this);
    progress.setObjectName(QStringLiteral("ClipProgress"));
    progress.setWindowTitle(Ui(234));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    std::atomic<bool> cancelled{false};
    connect(&progress, &QProgressDialog::canceled, this, [&cancelled] { cancelled = true; });

    QPointer<QProgressDialog> dialog(&progress);
    // Runs on the worker: the bar is moved by queued calls, at most once per
    // step so a long export does not flood the window's queue.
    std::atomic<int> shown{-1};
    const ClipExportProgress report = [&](double fraction) {
        const int value =
            std::clamp(static_cast<int>(fraction * kProgressSteps), 0, kProgressSteps - 1);
        if (shown.exchange(value) != value) {
            QMetaObject::invokeMethod(
                &progress,
                [dialog, value] {
                    if (dialog != nullptr) dialog->setValue(value);
                },
                Qt::QueuedConnection);
        }
        return !cancelled.load();
    };
    ClipExportResult result;
    const std::filesystem::path path = target.toStdString();
    RunOffWindowThread([&] { result = WriteClipExport(plan, path, replace, report); });
    progress.close();
    return result;
}

void CQORDlg::ExportClip() {
    if (clip_export_running_) return;
    if (!clip_span_.complete()) {
        QMessageBox::information(this, Ui(234), Ui(239));
        return;
    }
    clip_export_running_ = true;
    const ClipExportPlan plan = PlanClipSpan();
    if (plan.status != ClipExportStatus::kOk) {
        ClipExportResult failed;
        failed.status = plan.status;
        failed.detail = plan.detail;
        QMessageBox::warning(this, Ui(234), FailureText(failed));
        clip_export_running_ = false;
        return;
    }
    const std::string documents = DocumentsFolder();
    const QString suggested =
        QString::fromStdString((documents.empty() ? std::string() : documents + "/") +
                               clip_span_.DefaultName(plan.startTime));
    QFileDialog save(this, Ui(234), suggested, Ui(243));
    save.setObjectName(QStringLiteral("ClipSaveDialog"));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setDefaultSuffix(QStringLiteral("MOV"));
    if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty()) {
        clip_export_running_ = false;
        return;
    }
    const QString target = save.selectedFiles().first();
    // The dialog has asked before an existing file is replaced.
    const ClipExportResult result = ExportClipTo(plan, target, /*replace=*/true);
    clip_export_running_ = false;
    switch (result.status) {
        case ClipExportStatus::kOk:
            QMessageBox::information(
                this, Ui(234), WithPath(236, QString::fromStdString(result.written.string())));
            return;
        case ClipExportStatus::kCancelled:
            QMessageBox::information(this, Ui(234), Ui(238));
            return;
        default:
            QMessageBox::warning(this, Ui(234), WithPath(237, target) + FailureText(result));
            return;
    }
}

}  // namespace orvo
