#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "gps/track_points.h"
#include "metadata/telemetry.h"

namespace orvo {

class CClipCatalog;

// A GPX 1.1 document: one <trk> per track, one <trkseg> per recording, one
// <trkpt> per point. <time> is UTC with milliseconds. Speed (m/s) and course
// (degrees) go into a Garmin TrackPointExtension v2 element, and once more
// as GPX 1.0 <speed> and <course> elements (in their own namespace, so the
// document stays valid GPX 1.1), which GDAL reads as fields.
std::string GpxTracksDocument(const std::string& name, std::span<const Track> tracks);

// One recording's block as one track: points are the usable fixes inside
// the geographic range, timed from the first dated record at gps_rate
// records a second; with gps_rate 0 (unknown) each point carries its own
// record's date, when valid.
std::string GpxDocument(const std::string& track_name, std::span<const GpsRecord> records,
                        unsigned gps_rate = 0);

// recording name without its extension + "_%Y_%m_%d_%H-%M-%S" + ".GPX".
std::string GpxFileName(const std::string& file_name, int64_t start_time);

// Writes the selected recording's loaded track into folder (ending in "/"),
// like ExportKml. 1 and *path on success, 0 otherwise.
int ExportGpx(CClipCatalog& catalog, const std::string& folder, std::string* path);

}  // namespace orvo
