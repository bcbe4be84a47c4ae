#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "gps/track_points.h"

namespace orvo {

// A KML 2.2 document with time: per track one Placemark holding a
// gx:MultiTrack with a gx:Track per recording (a <when> per point, speed in
// km/h, heading and altitude as ExtendedData arrays), and per event
// recording a Placemark point stamped with its start. With points, a Folder
// with one stamped Placemark per point follows, for readers that ignore
// gx:Track times. Points without a time cannot join a gx:Track and are left
// out; *untimed (may be null) receives how many. Without timed, each track
// is a MultiGeometry of LineStrings and nothing carries a time.
std::string TimedKmlDocument(const std::string& name, std::span<const Track> tracks, bool points,
                             size_t* untimed, bool timed = true);

}  // namespace orvo
