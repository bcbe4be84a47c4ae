#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "incidents/incident.h"
#include "incidents/incident_detector.h"
#include "metadata/telemetry.h"

namespace orvo {

class CClipCatalog;
struct ClipEntry;

// What the scan needs of one catalogue entry; copied from the catalogue on
// the window thread so that the scan never touches the catalogue itself.
struct CardRecording {
    std::string path;
    std::string fileName;
    ClipInfo info;
};

// rootFolder + subFolder + fileName: the entry's full path without the
// doubled separators of CClipCatalog::FullPathOf.
std::string RecordingPathOf(const ClipEntry& entry);

// The catalogue's entries in entry order.
std::vector<CardRecording> CardRecordingsOf(const CClipCatalog& catalog);

// The result for one recording.
struct RecordingScan {
    size_t index = 0;       // position in the scanned list
    bool readable = false;  // the file could be opened and read
    std::vector<Incident> incidents;
    // Usable positions, the first of each second: the recording's part of
    // its trip's track.
    std::vector<GeoPosition> track;
};

// Reads one recording's telemetry and finds its incidents; EMER recordings
// are event recordings.
RecordingScan ScanRecording(const CardRecording& recording, size_t index,
                            const IncidentThresholds& thresholds = {});

// The track of a trip made of the scans of its recordings, in order, as a
// map draws it: every position while the trip has at most max_points of
// them; otherwise evenly spread ones (the first and the last among them),
// at most max_points (but the two ends at least), since a day's drive of one point a second would
// cost the map more to take in than a faint line under the recording needs.
std::vector<GeoPosition> TripTrackOf(std::span<const RecordingScan* const> parts,
                                     size_t max_points);

// Scans every recording in order. Results are handed to on_batch in runs of
// at most batch_size recordings (the last run may be shorter). The scan stops
// between two recordings once cancel holds true; returns how many recordings
// were scanned.
size_t ScanCard(std::span<const CardRecording> recordings, const IncidentThresholds& thresholds,
                const std::atomic<bool>& cancel, size_t batch_size,
                const std::function<void(std::vector<RecordingScan>&&)>& on_batch);

}  // namespace orvo
