#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "cli/command_arguments.h"
#include "gps/camera_clock.h"
#include "gps/track_points.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

// A usage error: one line naming the command and the bad argument; the
// dispatcher adds the command's synopsis.
int UsageError(std::ostream& err, const std::string& command, const std::string& reason);

// --camera-tz, when given; false (a usage error was written) when it names
// no zone.
bool ParseCameraClock(const CommandArguments& args, const std::string& command, CameraClock* clock,
                      std::ostream& err);

// The recording's name without its 4-character extension.
std::string FileStem(const std::string& file_name);

// The export of one recording: its content, or nullopt after a message
// naming the recording and the cause.
using RecordingExporter =
    std::function<std::optional<std::string>(const ClipEntry& entry, std::ostream& err)>;
// The output file name of a recording.
using RecordingFileName = std::function<std::string(const ClipEntry& entry)>;

// Runs an export over the FILE and folder arguments. One recording without
// --out (and when to_stdout_allowed) goes to out; otherwise every recording
// gets a file in folder (created when missing), named by file_name, and
// its path is printed. Returns the exit status.
int RunRecordingExport(const std::vector<std::string>& paths, std::optional<std::string> folder,
                       bool to_stdout_allowed, const std::string& command,
                       const RecordingExporter& exporter, const RecordingFileName& file_name,
                       std::ostream& out, std::ostream& err);

// The track of one recording with its distance measured.
Track SingleRecordingTrack(const ClipEntry& entry, TrackSegment segment);

}  // namespace orvo::cli
