#include "app/incident_scanner.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include <QThread>

#include "platform/thread_priority.h"

namespace orvo {

namespace {

// Results go to the window in runs of this many recordings: often enough
// for the marks to appear while a slow card is read, seldom enough that the
// window thread spends little on them.
constexpr size_t kBatchSize = 32;

}  // namespace

// The thread of one scan. Its results wait in a locked queue until the
// scanner on the window thread takes them.
class CIncidentScanThread : public QThread {
    Q_OBJECT

public:
    CIncidentScanThread(std::vector<CardRecording> recordings, const IncidentThresholds& thresholds)
        : recordings_(std::move(recordings)), thresholds_(thresholds) {}

    void Cancel() { cancel_.store(true); }
    std::vector<RecordingScan> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(ready_, {});
    }

Q_SIGNALS:
    void BatchReady();

protected:
    void run() override {
        // A card takes seconds to read; playback comes first.
        LowerThisThreadsPriority();
        ScanCard(recordings_, thresholds_, cancel_, kBatchSize,
                 [this](std::vector<RecordingScan>&& batch) {
                     {
                         std::lock_guard<std::mutex> lock(mutex_);
                         for (RecordingScan& scan : batch) ready_.push_back(std::move(scan));
                     }
                     Q_EMIT BatchReady();
                 });
    }

private:
    const std::vector<CardRecording> recordings_;
    const IncidentThresholds thresholds_;
    std::atomic<bool> cancel_{false};
    std::mutex mutex_;
    std::vector<RecordingScan> ready_;
};

CIncidentScanner::CIncidentScanner(QObject* parent) : QObject(parent) {}

CIncidentScanner::~CIncidentScanner() {
    Cancel();
    for (CIncidentScanThread* thread : retired_) {
        thread->wait();
        delete thread;
    }
}

bool CIncidentScanner::running() const {
    return current_ != nullptr && !current_->isFinished();
}

void CIncidentScanner::Start(std::vector<CardRecording> recordings,
                             const IncidentThresholds& thresholds) {
    Cancel();
    recordings_ = recordings;
    book_.Reset(recordings_.size());
    auto* thread = new CIncidentScanThread(std::move(recordings), thresholds);
    current_ = thread;
    // Queued: the thread emits, the scanner takes the results on its own
    // (the window's) thread.
    connect(
        thread, &CIncidentScanThread::BatchReady, this, [this, thread] { TakeResults(thread); },
        Qt::QueuedConnection);
    connect(thread, &QThread::finished, this, [this, thread] {
        if (thread != current_) return;
        TakeResults(thread);
        Sweep();
        Q_EMIT Finished();
    });
    thread->start(QThread::LowPriority);
}

void CIncidentScanner::Cancel() {
    if (current_ == nullptr) return;
    CIncidentScanThread* thread = std::exchange(current_, nullptr);
    Retire(thread);
}

void CIncidentScanner::Retire(CIncidentScanThread* thread) {
    thread->Cancel();
    thread->disconnect(this);
    retired_.push_back(thread);
    Sweep();
}

void CIncidentScanner::Sweep() {
    // A cancelled scan stops after the recording it is reading; its thread
    // is deleted once it has stopped, never waited for on this thread.
    // Signals it queued before that only carry its address, which the
    // handlers compare with current_ and never follow.
    auto finished = std::partition(retired_.begin(), retired_.end(),
                                   [](CIncidentScanThread* t) { return !t->isFinished(); });
    for (auto it = finished; it != retired_.end(); ++it) {
        (*it)->wait();
        delete *it;
    }
    retired_.erase(finished, retired_.end());
}

void CIncidentScanner::TakeResults(CIncidentScanThread* thread) {
    if (thread != current_) return;
    std::vector<RecordingScan> scans = thread->Take();
    if (scans.empty()) return;
    std::vector<std::string> paths;
    paths.reserve(scans.size());
    for (const RecordingScan& scan : scans) {
        if (scan.index < recordings_.size()) paths.push_back(recordings_[scan.index].path);
    }
    book_.Add(recordings_, std::move(scans));
    Q_EMIT ResultsArrived(paths);
}

}  // namespace orvo

#include "incident_scanner.moc"
