// Export evidence: the ticked recordings into a verified package, copied on a
// worker thread with progress and cancel.
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "export/evidence_package.h"
#include "export/evidence_report.h"
#include "library/folder_dialog.h"

namespace orvo {

namespace {

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

constexpr int kProgressSteps = 1000;

// Runs on the worker thread: reports by queued calls, reads the cancel flag.
class CProgressRelay : public IEvidenceObserver {
public:
    CProgressRelay(QProgressDialog* dialog, const std::atomic<bool>* cancelled)
        : dialog_(dialog), cancelled_(cancelled) {}

    bool OnProgress(const std::string& current_file, uint64_t done, uint64_t total) override {
        const int value =
            total == 0 ? 0 : static_cast<int>(done * kProgressSteps / std::max<uint64_t>(total, 1));
        QString label = Ui(216);
        label.replace(QStringLiteral("%s"), QString::fromStdString(current_file));
        QPointer<QProgressDialog> dialog = dialog_;
        QMetaObject::invokeMethod(
            dialog_,
            [dialog, value, label] {
                if (dialog == nullptr) return;
                dialog->setLabelText(label);
                dialog->setValue(std::min(value, kProgressSteps - 1));
            },
            Qt::QueuedConnection);
        return !cancelled_->load();
    }

private:
    QProgressDialog* dialog_;
    const std::atomic<bool>* cancelled_;
};

}  // namespace

void CQORDlg::ExportEvidencePackage() {
    if (!RequireClips()) return;
    std::vector<ClipEntry> entries;
    for (const int index : catalog_.ChosenEntries()) {
        entries.push_back(catalog_.entries()[static_cast<size_t>(index)]);
    }
    if (entries.empty()) {
        QMessageBox::information(this, Ui(144), Ui(135));
        return;
    }
    StopPlayback();
    CFolderDialog picker(this, Ui(130));
    if (picker.DoModal() != CFolderDialog::kChosen) return;
    const std::string target = picker.GetFolderPath().toStdString();
    std::error_code error;
    if (!std::filesystem::is_directory(target, error)) {
        QMessageBox::warning(this, Ui(131), Ui(132));
        return;
    }

    QProgressDialog progress(Ui(215), Ui(108), 0, kProgressSteps, this);
    progress.setObjectName(QStringLiteral("EvidenceProgress"));
    progress.setWindowTitle(Ui(215));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    std::atomic<bool> cancelled{false};
    connect(&progress, &QProgressDialog::canceled, this, [&cancelled] { cancelled = true; });

    CProgressRelay relay(&progress, &cancelled);
    CEvidenceReport report(CQorSettings::Instance().language_index());
    EvidenceResult result;
    QThread* worker = QThread::create(
        [&] { result = ExportEvidence(std::move(entries), target, &relay, &report); });
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    progress.close();

    QString text;
    switch (result.status) {
        case EvidenceStatus::kComplete:
            text = Ui(217);
            text.replace(QStringLiteral("%s"), QString::fromStdString(result.summary.folder));
            QMessageBox::information(this, Ui(215), text);
            return;
        case EvidenceStatus::kCancelled:
            QMessageBox::information(this, Ui(215), Ui(219));
            return;
        default: {
            QStringList lines;
            for (const std::string& problem : result.summary.problems) {
                lines << QString::fromStdString(problem);
            }
            text = Ui(218);
            text.replace(QStringLiteral("%s"), lines.join(QLatin1Char('\n')));
            QMessageBox::warning(this, Ui(215), text);
            return;
        }
    }
}

}  // namespace orvo
