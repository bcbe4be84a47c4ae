#pragma once

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QObject>
#include <QThread>

#include "incidents/trip_summary.h"
#include "library/clip_catalog.h"

namespace orvo {

// Summaries of the trips whose tooltip has been asked for, read on a thread
// of their own: a summary reads the GPS block of every recording of its
// trip, which the window thread must not wait for. Each trip is read once
// and kept until Reset (another card, or the card changed).
class CTripSummaryCache : public QObject {
    Q_OBJECT

public:
    explicit CTripSummaryCache(QObject* parent = nullptr);
    // Waits for the trip being read (its recordings' GPS blocks at most).
    ~CTripSummaryCache() override;

    // Forgets every summary; those still being read are dropped when done.
    void Reset();

    // The summary of the trip made of these recordings (copies, in time
    // order; first_entry is the entry index of the first), or null while it
    // is unknown: then it is read on the thread and Ready follows.
    const TripSummary* Find(std::vector<ClipEntry> recordings, int first_entry);

    size_t size() const { return summaries_.size(); }

Q_SIGNALS:
    // A summary asked for by Find has been read.
    void Ready();

private:
    static std::string KeyOf(const std::vector<ClipEntry>& recordings);
    void Store(unsigned generation, const std::string& key, TripSummary summary);

    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_; runs the reads in order
    std::atomic<unsigned> generation_{0};
    std::map<std::string, TripSummary> summaries_;
    std::set<std::string> pending_;
};

}  // namespace orvo
