#include "incidents/card_incident_scan.h"

#include <algorithm>

#include "incidents/recording_telemetry.h"
#include "library/clip_catalog.h"
#include "library/list_row_text.h"

namespace orvo {

namespace {

std::vector<GeoPosition> TrackOf(std::span<const GpsRecord> gps, unsigned gps_rate) {
    std::vector<GeoPosition> track;
    if (gps_rate == 0) gps_rate = 1;
    size_t taken_second = SIZE_MAX;
    for (size_t i = 0; i < gps.size(); ++i) {
        const size_t second = i / gps_rate;
        if (second == taken_second) continue;
        if (auto position = PositionOf(gps[i])) {
            track.push_back(*position);
            taken_second = second;
        }
    }
    return track;
}

}  // namespace

std::string RecordingPathOf(const ClipEntry& entry) {
    return entry.rootFolder + entry.subFolder + entry.fileName;
}

std::vector<CardRecording> CardRecordingsOf(const CClipCatalog& catalog) {
    std::vector<CardRecording> out;
    out.reserve(catalog.entries().size());
    for (const ClipEntry& entry : catalog.entries()) {
        out.push_back({RecordingPathOf(entry), entry.fileName, entry.info});
    }
    return out;
}

RecordingScan ScanRecording(const CardRecording& recording, size_t index,
                            const IncidentThresholds& thresholds) {
    RecordingScan scan;
    scan.index = index;
    const RecordingTelemetry telemetry = ReadRecordingTelemetry(recording.path, recording.info);
    scan.readable = telemetry.opened;
    const bool event = FileTypeStringId(recording.fileName) == kTypeEventStringId;
    // An unreadable event recording is still an event: the camera said so.
    scan.incidents =
        DetectIncidents(recording.info, telemetry.gps, telemetry.gsensor, event, thresholds);
    scan.track = TrackOf(telemetry.gps, GpsRate(recording.info));
    return scan;
}

std::vector<GeoPosition> TripTrackOf(std::span<const RecordingScan* const> parts,
                                     size_t max_points) {
    size_t total = 0;
    for (const RecordingScan* part : parts) total += part->track.size();
    std::vector<GeoPosition> out;
    if (total == 0 || max_points == 0) return out;
    // Position k of the whole track is drawn when k is a multiple of the
    // stride, and the last one always: ceil((total - 1) / (max_points - 1))
    // keeps that within max_points.
    if (max_points == 1) max_points = 2;  // a line needs its two ends
    const size_t stride = total <= max_points ? 1 : (total + max_points - 3) / (max_points - 1);
    out.reserve(std::min(total, max_points));
    size_t k = 0;
    for (const RecordingScan* part : parts) {
        for (const GeoPosition& p : part->track) {
            if (k % stride == 0 || k == total - 1) out.push_back(p);
            ++k;
        }
    }
    return out;
}

size_t ScanCard(std::span<const CardRecording> recordings, const IncidentThresholds& thresholds,
                const std::atomic<bool>& cancel, size_t batch_size,
                const std::function<void(std::vector<RecordingScan>&&)>& on_batch) {
    if (batch_size == 0) batch_size = 1;
    std::vector<RecordingScan> batch;
    size_t done = 0;
    for (; done < recordings.size(); ++done) {
        if (cancel.load(std::memory_order_relaxed)) break;
        batch.push_back(ScanRecording(recordings[done], done, thresholds));
        if (batch.size() >= batch_size) {
            on_batch(std::move(batch));
            batch = {};
        }
    }
    if (!batch.empty()) on_batch(std::move(batch));
    return done;
}

}  // namespace orvo
