#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "cli/clip_info_json.h"
#include "gps/camera_clock.h"
#include "gps/track_points.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

// "YYYY-MM-DD hh:mm:ss" of the record's own date fields (the camera's wall
// clock); empty without a date (year byte 0).
std::string RecordDate(const GpsRecord& r);

// The CSV header of GPS rows; with_trip adds the trip and file columns in
// front.
std::string GpsCsvHeader(bool with_trip);

// One row per record. A record without a usable fix keeps its row and fix
// flag, with empty latitude and longitude (0, 0 would be plotted in the
// Gulf of Guinea). utc is the record's time through clock.
void AppendGpsCsvRows(const ClipEntry& entry, std::span<const GpsRecord> records,
                      const CameraClock& clock, std::optional<size_t> trip, std::string* out);

// The "gps --format json" object of one recording.
Json GpsJson(const std::string& path, const ClipEntry& entry, std::span<const GpsRecord> records,
             const CameraClock& clock);

// Warnings about what an export of the recording lacks: a GPS block that
// runs past the end of the file, fixes outside the geographic range that
// were left out, points without a time.
void WarnCutOff(const std::string& path, std::ostream& err);
void WarnOutOfRange(const std::string& path, size_t count, const char* format, std::ostream& err);

}  // namespace orvo::cli
