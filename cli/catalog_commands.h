#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvo::cli {

// scan PATH: the catalogue of a folder (scan mode) or of one file (file
// mode) as one JSON object: visited, entries, groups.
int RunScan(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// gps FILE [--format csv|gpx|json]: the GPS block as the viewer loads it.
int RunGps(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// gsensor FILE [--format csv]: the raw G-sensor samples in g.
int RunGSensor(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// kml FILE [--out DIR]: writes the recording's KML track and prints its path.
int RunKml(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orvo::cli
