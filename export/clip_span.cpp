#include "export/clip_span.h"

#include <algorithm>
#include <utility>

#include "export/clip_telemetry.h"
#include "library/clip_catalog.h"

namespace orvo {

void ClipSpan::SetRecordings(std::vector<SpanRecording> recordings) {
    // Stable: recordings without a start time keep the order they came in.
    std::stable_sort(recordings.begin(), recordings.end(),
                     [](const SpanRecording& a, const SpanRecording& b) {
                         return a.info.startTime < b.info.startTime;
                     });
    recordings_ = std::move(recordings);
    Clear();
}

void ClipSpan::Clear() {
    in_.reset();
    out_.reset();
}

std::optional<size_t> ClipSpan::IndexOf(const std::string& path) const {
    for (size_t i = 0; i < recordings_.size(); ++i) {
        if (recordings_[i].path == path) return i;
    }
    return std::nullopt;
}

int64_t ClipSpan::Clamp(size_t recording, int64_t time_ms) const {
    return std::clamp<int64_t>(time_ms, 0, recordings_[recording].info.durationMs);
}

bool ClipSpan::Continuous(size_t a, size_t b) const {
    for (size_t i = a; i < b; ++i) {
        if (!FollowsInTime(recordings_[i].info, recordings_[i + 1].info)) return false;
    }
    return true;
}

ClipSpanStatus ClipSpan::SetIn(const std::string& path, int64_t time_ms) {
    const std::optional<size_t> index = IndexOf(path);
    if (!index) return ClipSpanStatus::kUnknownRecording;
    in_ = Point{*index, Clamp(*index, time_ms)};
    // A new start past the end, or in another trip, makes the old end
    // meaningless; keeping it would export something nobody marked.
    if (out_ && (out_->recording < in_->recording || !Continuous(in_->recording, out_->recording) ||
                 (out_->recording == in_->recording && out_->time_ms <= in_->time_ms))) {
        out_.reset();
    }
    return ClipSpanStatus::kOk;
}

ClipSpanStatus ClipSpan::SetOut(const std::string& path, int64_t time_ms) {
    const std::optional<size_t> index = IndexOf(path);
    if (!index) return ClipSpanStatus::kUnknownRecording;
    const Point out{*index, Clamp(*index, time_ms)};
    const Point in = in_.value_or(Point{*index, 0});
    if (out.recording < in.recording ||
        (out.recording == in.recording && out.time_ms <= in.time_ms)) {
        return ClipSpanStatus::kOutBeforeIn;
    }
    if (!Continuous(in.recording, out.recording)) return ClipSpanStatus::kOtherGroup;
    in_ = in;
    out_ = out;
    return ClipSpanStatus::kOk;
}

std::vector<std::string> ClipSpan::Recordings() const {
    std::vector<std::string> paths;
    if (!complete()) return paths;
    for (size_t i = in_->recording; i <= out_->recording; ++i) {
        paths.push_back(recordings_[i].path);
    }
    return paths;
}

int64_t ClipSpan::FromMs() const {
    return in_ ? in_->time_ms : 0;
}

int64_t ClipSpan::ToMs() const {
    if (!complete()) return 0;
    int64_t before = 0;
    for (size_t i = in_->recording; i < out_->recording; ++i) {
        before += recordings_[i].info.durationMs;
    }
    return before + out_->time_ms;
}

int64_t ClipSpan::RequestedStartTime() const {
    if (!in_) return 0;
    const int64_t start = recordings_[in_->recording].info.startTime;
    return start == 0 ? 0 : start + in_->time_ms / 1000;
}

ClipSpanMarks ClipSpan::MarksFor(const std::string& path) const {
    ClipSpanMarks marks;
    const std::optional<size_t> index = IndexOf(path);
    if (!index) return marks;
    if (in_ && in_->recording == *index) marks.in_ms = in_->time_ms;
    if (out_ && out_->recording == *index) marks.out_ms = out_->time_ms;
    marks.covered = complete() && *index >= in_->recording && *index <= out_->recording;
    return marks;
}

std::string ClipSpan::DefaultName(int64_t actual_start_time) const {
    return DefaultClipName(actual_start_time != 0 ? actual_start_time : RequestedStartTime());
}

}  // namespace orvo
