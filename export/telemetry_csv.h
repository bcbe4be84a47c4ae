#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "metadata/telemetry.h"

namespace orvo {

// "YYYY-MM-DD hh:mm:ss" of a GPS record's own date fields; empty without a
// date (year byte 0).
std::string GpsRecordDate(const GpsRecord& record);

// One line per GPS record: index, fix bit, latitude and longitude in decimal
// degrees, altitude (m), speed (km/h), heading (degrees) and the record's own
// date; locale-independent numbers.
std::string GpsCsv(std::span<const GpsRecord> records);

// One line per G-sensor sample: index, time (ms, spread evenly over the
// duration) and the three axes in g.
std::string GSensorCsv(std::span<const GSensorRecord> samples, uint32_t duration_ms,
                       unsigned g_range);

}  // namespace orvo
