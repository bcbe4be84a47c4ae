#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "metadata/telemetry.h"

namespace orvo {

class CClipCatalog;

// A GPX 1.1 document of one recording's track: one <trkpt> per usable
// record, in file order. <time> (UTC) comes from the record's own date
// fields when they hold a valid local date; speed (m/s) and course
// (degrees) go into a Garmin TrackPointExtension v2 element, since GPX 1.1
// itself has no such elements.
std::string GpxDocument(const std::string& track_name, std::span<const GpsRecord> records);

// recording name without its extension + "_%Y_%m_%d_%H-%M-%S" + ".GPX".
std::string GpxFileName(const std::string& file_name, int64_t start_time);

// Writes the selected recording's loaded track into folder (ending in "/"),
// like ExportKml. 1 and *path on success, 0 otherwise.
int ExportGpx(CClipCatalog& catalog, const std::string& folder, std::string* path);

}  // namespace orvo
