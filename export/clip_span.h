#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// A recording of the loaded card as the span sees it.
struct SpanRecording {
    std::string path;
    ClipInfo info;
};

// Why a point was not taken.
enum class ClipSpanStatus {
    kOk,
    kUnknownRecording,  // the recording is not on the card the span knows
    kOutBeforeIn,       // the end would lie at or before the start
    kOtherGroup,        // the end lies in a recording that does not follow the start's
};

// What the position slider of one recording shows of the span. Times are in
// the recording's own playback time (ms). A recording the span runs through
// has covered set: it starts before it when in_ms is empty and ends after it
// when out_ms is empty.
struct ClipSpanMarks {
    bool covered = false;
    std::optional<int64_t> in_ms;
    std::optional<int64_t> out_ms;
};

// The in and out points of a clip export. The in point lies in one recording,
// the out point in it or in one of the recordings that follow it without a
// gap (the catalogue's group rule), so the span is one piece of continuous
// driving. The recordings are kept in time order whatever order the file
// list shows them in.
class ClipSpan {
public:
    // The recordings of the card, in any order; clears both points.
    void SetRecordings(std::vector<SpanRecording> recordings);

    // The start at time_ms of a recording (clamped to its length). An end
    // that no longer fits after it is dropped.
    ClipSpanStatus SetIn(const std::string& path, int64_t time_ms);
    // The end at time_ms of a recording. Without a start the span starts at
    // the beginning of that recording.
    ClipSpanStatus SetOut(const std::string& path, int64_t time_ms);
    void Clear();

    bool has_in() const { return in_.has_value(); }
    bool has_out() const { return out_.has_value(); }
    // Both points are set: the span can be exported.
    bool complete() const { return in_.has_value() && out_.has_value(); }

    // The recordings the span runs through, first to last (empty while it
    // is not complete).
    std::vector<std::string> Recordings() const;
    // The points counted from the start of the first of Recordings(), as
    // the exporter takes them (durations as the parser reports them).
    int64_t FromMs() const;
    int64_t ToMs() const;
    // Wall-clock time of the requested start, 0 when unknown.
    int64_t RequestedStartTime() const;

    // What the slider of a recording shows.
    ClipSpanMarks MarksFor(const std::string& path) const;

    // The export's default file name: the camera's scheme for the time it
    // really starts at (the keyframe the exporter found; 0: the requested
    // start).
    std::string DefaultName(int64_t actual_start_time = 0) const;

private:
    struct Point {
        size_t recording = 0;  // index into recordings_
        int64_t time_ms = 0;
    };

    std::optional<size_t> IndexOf(const std::string& path) const;
    int64_t Clamp(size_t recording, int64_t time_ms) const;
    // Recordings [a, b] (a <= b) follow each other without a gap.
    bool Continuous(size_t a, size_t b) const;

    std::vector<SpanRecording> recordings_;  // in time order
    std::optional<Point> in_;
    std::optional<Point> out_;
};

}  // namespace orvo
