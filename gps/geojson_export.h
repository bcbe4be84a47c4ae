#pragma once

#include <span>
#include <string>

#include "gps/track_points.h"

namespace orvo {

// A GeoJSON (RFC 7946) FeatureCollection: per track one Feature whose
// geometry is a LineString (one recording) or MultiLineString (several; a
// recording with fewer than two points adds no line), null when nothing can
// be drawn, with the properties name, file, files, start, end (UTC),
// durationMs and distanceM. With points, one Point Feature per track point
// follows, with track, file, index, time, speedKmh, headingDeg, altitudeM
// and fix. Coordinates are longitude, latitude, altitude.
std::string GeoJsonDocument(std::span<const Track> tracks, bool points);

// A JSON string literal of text (quotes included); invalid UTF-8 becomes
// U+FFFD.
std::string JsonString(std::string_view text);

}  // namespace orvo
