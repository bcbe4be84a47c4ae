#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvo {

// The telemetry of one recording as stored: the two blocks and the two rate
// words, and the duration the viewer spreads the G-sensor samples over.
struct ClipTelemetrySource {
    std::vector<uint8_t> gps;   // "gps0" payload, 32-byte records
    std::vector<uint8_t> gsen;  // "gsen" payload, 3-byte samples
    std::array<uint8_t, 4> gpsRateWord{};
    std::array<uint8_t, 4> gRangeWord{};
    uint32_t durationMs = 0;
};

// One recording's share of an exported clip. Times in microseconds: the
// first exported instant in the recording's own playback time, where that
// instant lands in the export, and how long the share runs there.
struct ClipTelemetryPart {
    ClipTelemetrySource source;
    int64_t sourceStartUs = 0;
    int64_t outputStartUs = 0;
    int64_t lengthUs = 0;
};

// The telemetry of an export, ready to be written as boxes.
struct ClipTelemetry {
    std::vector<uint8_t> gps;
    std::vector<uint8_t> gsen;
    std::array<uint8_t, 4> gpsRateWord{};
    std::array<uint8_t, 4> gRangeWord{};
    std::optional<std::string> dateText;  // "IDIT" text of the export's start
};

// Cuts the records and samples of the parts so that the viewer's lookups on
// the export (GPS record = t * gpsRate / 1000, G sample = t * count /
// durationMs) find, at every export time, what they found at the matching
// time of the source. Parts are in output order and must not overlap.
//
// Parts with different rates are brought to one: the GPS rate and the G
// sample density of the export are the highest among the parts, the others
// are held (each record repeated over its own period), so nothing measured is
// dropped and one rate word describes the whole file, which is all the
// viewer reads. Different G-sensor ranges are brought to the widest one, the
// samples of narrower ranges rescaled, so the values in g stay right (at a
// coarser step). Instants a part has no record for (a block shorter than its
// video) get zero records: no fix, no date.
//
// output_duration_ms is the duration the export's parser will report.
ClipTelemetry CutClipTelemetry(std::span<const ClipTelemetryPart> parts,
                               uint32_t output_duration_ms);

// "YYYY-MM-DD hh:mm:ss" of a time, as local wall-clock time (the camera's
// date text form); nullopt when the time cannot be converted.
std::optional<std::string> ClipDateText(int64_t time);

// "CLIP" + yymmdd_hhmmss (local wall-clock time) + ".MOV": the camera's name
// scheme, so a card scan lists the export. A time that cannot be converted
// gives "CLIP000000_000000.MOV".
std::string DefaultClipName(int64_t time);

// The top-level boxes that follow the media of an export: "gpsa", "gsea",
// "IDIT" (when there is a date), then "gps0" and "gsen". The rate words come
// before "gps0" so the parser dates the records with the right rate, and
// nothing it does not handle stands between them, so its walk reads all of
// them.
std::vector<uint8_t> ClipTelemetryBoxes(const ClipTelemetry& telemetry);

}  // namespace orvo
