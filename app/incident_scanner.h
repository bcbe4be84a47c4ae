#pragma once

#include <memory>
#include <vector>

#include <QObject>

#include "incidents/card_incident_scan.h"
#include "incidents/incident_book.h"

namespace orvo {

class CIncidentScanThread;

// Runs the incident scan of a card on a thread of its own and collects its
// results on the window thread. Starting a new scan cancels the running one;
// its late results are dropped. The recordings are copied in, so the
// catalogue stays the window thread's alone.
class CIncidentScanner : public QObject {
    Q_OBJECT

public:
    explicit CIncidentScanner(QObject* parent = nullptr);
    // Cancels every scan and waits for their threads (a recording at most).
    ~CIncidentScanner() override;

    void Start(std::vector<CardRecording> recordings, const IncidentThresholds& thresholds = {});
    void Cancel();

    const CIncidentBook& book() const { return book_; }
    bool running() const;

Q_SIGNALS:
    // Scans of these recording paths have been added to the book.
    void ResultsArrived(const std::vector<std::string>& paths);
    // The current scan has scanned every recording.
    void Finished();

private:
    void TakeResults(CIncidentScanThread* thread);
    void Retire(CIncidentScanThread* thread);
    void Sweep();

    CIncidentBook book_;
    std::vector<CardRecording> recordings_;
    CIncidentScanThread* current_ = nullptr;
    std::vector<CIncidentScanThread*> retired_;
};

}  // namespace orvo
