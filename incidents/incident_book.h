#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "incidents/card_incident_scan.h"

namespace orvo {

// The results of a card's incident scan, by recording path, as they arrive.
// The catalogue may be sorted while the scan runs, so results are found by
// path (RecordingPathOf), never by a position.
class CIncidentBook {
public:
    // Forgets every result; expected is the number of recordings scanned.
    void Reset(size_t expected);
    // Adds scans of the recordings list the scan was started with.
    void Add(std::span<const CardRecording> recordings, std::vector<RecordingScan>&& scans);

    // The scan of a recording, or null while it has not arrived.
    const RecordingScan* Find(const std::string& path) const;
    size_t scanned() const { return by_path_.size(); }
    bool complete() const { return by_path_.size() >= expected_; }

private:
    size_t expected_ = 0;
    std::unordered_map<std::string, RecordingScan> by_path_;
};

}  // namespace orvo
