#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// Outcome of planning or writing a clip export.
enum class ClipExportStatus {
    kOk,
    kCancelled,
    kEmptySpan,     // nothing of the recordings lies between the two points
    kUnreadable,    // a recording cannot be parsed or demuxed
    kIncompatible,  // the recordings' pictures cannot be joined without re-encoding
    kTargetExists,  // the target exists and replacing it was not allowed
    kTargetIsSource,
    kWriteFailed,  // the target could not be written completely (full disk, ...)
};

// One recording's share of a planned export, in the recording's own playback
// time (microseconds from its first picture).
struct ClipExportPart {
    std::filesystem::path path;
    ClipInfo info;
    int64_t startUs = 0;  // first picture taken (a keyframe for the first part)
    int64_t endUs = 0;    // pictures decoded before this instant are taken; INT64_MAX: all
};

// A span resolved against the recordings: the keyframe it really starts at.
struct ClipExportPlan {
    ClipExportStatus status = ClipExportStatus::kOk;
    std::string detail;  // what failed, for messages
    std::vector<ClipExportPart> parts;
    // Actual start and requested end, counted from the start of the first
    // recording handed in (durations as the parser reports them).
    int64_t actualStartUs = 0;
    int64_t requestedEndUs = 0;
    // Local wall-clock time of the actual start, 0 when the first recording
    // of the span has no start time.
    int64_t startTime = 0;
};

struct ClipExportResult {
    ClipExportStatus status = ClipExportStatus::kOk;
    std::string detail;
    std::filesystem::path written;
    int64_t actualStartUs = 0;  // as in the plan
    int64_t actualEndUs = 0;    // actual start + exported length
    uint64_t bytes = 0;
};

// Fraction done in 0..1; returning false cancels the export.
using ClipExportProgress = std::function<bool(double fraction)>;

// Resolves the span [from_ms, to_ms) over consecutive recordings (both
// points counted from the start of the first one): which recordings it
// touches and the keyframe at or before from_ms it really starts at. The
// recordings are only read.
ClipExportPlan PlanClipExport(const std::vector<std::filesystem::path>& recordings, int64_t from_ms,
                              int64_t to_ms);

// Writes the plan as a MOV by stream copy (video, and sound when the first
// recording has it), joined with continuous time stamps, followed by the
// telemetry of the exported range. The file is written under a hidden
// temporary name beside the target and renamed when complete; a failed or
// cancelled export leaves nothing behind. An existing target is replaced
// only when replace is set; a source is never replaced.
ClipExportResult WriteClipExport(const ClipExportPlan& plan, const std::filesystem::path& target,
                                 bool replace, const ClipExportProgress& progress);

// English text of a status (for the command line; the window has its own).
const char* ClipExportStatusText(ClipExportStatus status);

}  // namespace orvo
