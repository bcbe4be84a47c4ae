#include "app/trip_summary_cache.h"

#include <utility>

#include <QMetaObject>

#include "platform/thread_priority.h"

namespace orvo {

CTripSummaryCache::CTripSummaryCache(QObject* parent) : QObject(parent) {
    thread_.setObjectName(QStringLiteral("TripSummaries"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
    // The toolkit's low priority does nothing on Linux: playback comes first.
    QMetaObject::invokeMethod(
        worker_, [] { LowerThisThreadsPriority(); }, Qt::QueuedConnection);
}

CTripSummaryCache::~CTripSummaryCache() {
    // Reads still queued are skipped; the one running ends with its trip.
    generation_.fetch_add(1);
    thread_.quit();
    thread_.wait();
}

void CTripSummaryCache::Reset() {
    generation_.fetch_add(1);
    summaries_.clear();
    pending_.clear();
}

std::string CTripSummaryCache::KeyOf(const std::vector<ClipEntry>& recordings) {
    // First and last recording and the count name a trip on one card.
    if (recordings.empty()) return {};
    return CClipCatalog::FullPathOf(recordings.front()) + '\n' +
           CClipCatalog::FullPathOf(recordings.back()) + '\n' + std::to_string(recordings.size());
}

const TripSummary* CTripSummaryCache::Find(std::vector<ClipEntry> recordings, int first_entry) {
    const std::string key = KeyOf(recordings);
    if (key.empty()) return nullptr;
    const auto found = summaries_.find(key);
    if (found != summaries_.end()) return &found->second;
    if (!pending_.insert(key).second) return nullptr;
    const unsigned generation = generation_.load();
    QMetaObject::invokeMethod(
        worker_,
        [this, generation, key, first_entry, recordings = std::move(recordings)] {
            if (generation != generation_.load()) return;
            TripSummary summary = SummarizeTrip(recordings, first_entry);
            // Back on the window thread; dropped with this object if it is
            // gone by then.
            QMetaObject::invokeMethod(
                this,
                [this, generation, key, summary = std::move(summary)]() mutable {
                    Store(generation, key, std::move(summary));
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return nullptr;
}

void CTripSummaryCache::Store(unsigned generation, const std::string& key, TripSummary summary) {
    if (generation != generation_.load()) return;
    pending_.erase(key);
    summaries_[key] = std::move(summary);
    Q_EMIT Ready();
}

}  // namespace orvo
