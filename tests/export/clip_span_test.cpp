// The in and out points of a clip export over a card's recordings.
#include "export/clip_span.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

#include <string>
#include <vector>

#include "export/clip_telemetry.h"

namespace orvo {
namespace {

using Paths = std::vector<std::string>;

// A recording starting at start (seconds) that runs duration_ms.
SpanRecording Recording(const std::string& path, int64_t start, uint32_t duration_ms) {
    SpanRecording recording;
    recording.path = path;
    recording.info.startTime = start;
    recording.info.durationMs = duration_ms;
    recording.info.lengthSeconds = duration_ms / 1000;
    return recording;
}

// 2024-05-18 12:00:00 UTC.
constexpr int64_t kNoon = 1716033600;

// Two trips, handed over in the file list's newest-first order: A, B, C
// follow each other (60 s, 60 s, 30 s), D starts ten minutes later.
ClipSpan Card() {
    ClipSpan span;
    span.SetRecordings({
        Recording("D", kNoon + 600, 60'000),
        Recording("C", kNoon + 120, 30'000),
        Recording("B", kNoon + 60, 60'000),
        Recording("A", kNoon, 60'500),
    });
    return span;
}

TEST(ClipSpanTest, SpanInsideOneRecording) {
    ClipSpan span = Card();
    EXPECT_FALSE(span.complete());
    EXPECT_TRUE(span.Recordings().empty());
    ASSERT_EQ(span.SetIn("B", 12'000), ClipSpanStatus::kOk);
    EXPECT_TRUE(span.has_in());
    EXPECT_FALSE(span.complete());
    ASSERT_EQ(span.SetOut("B", 32'000), ClipSpanStatus::kOk);
    EXPECT_TRUE(span.complete());
    EXPECT_EQ(span.Recordings(), Paths{"B"});
    EXPECT_EQ(span.FromMs(), 12'000);
    EXPECT_EQ(span.ToMs(), 32'000);
    const ClipSpanMarks marks = span.MarksFor("B");
    EXPECT_TRUE(marks.covered);
    EXPECT_EQ(marks.in_ms, 12'000);
    EXPECT_EQ(marks.out_ms, 32'000);
    EXPECT_FALSE(span.MarksFor("A").covered);
    EXPECT_FALSE(span.MarksFor("C").in_ms);
}

TEST(ClipSpanTest, SpanIntoLaterRecordingsCountsFromTheFirst) {
    ClipSpan span = Card();
    ASSERT_EQ(span.SetIn("A", 50'000), ClipSpanStatus::kOk);
    ASSERT_EQ(span.SetOut("C", 10'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.Recordings(), (Paths{"A", "B", "C"}));
    EXPECT_EQ(span.FromMs(), 50'000);
    // The parser's durations, not the whole seconds of the names.
    EXPECT_EQ(span.ToMs(), 60'500 + 60'000 + 10'000);

    // The first recording shows the start only, the middle one is covered
    // from end to end, the last shows the end and a start before it.
    const ClipSpanMarks a = span.MarksFor("A");
    EXPECT_TRUE(a.covered);
    EXPECT_EQ(a.in_ms, 50'000);
    EXPECT_FALSE(a.out_ms);
    const ClipSpanMarks b = span.MarksFor("B");
    EXPECT_TRUE(b.covered);
    EXPECT_FALSE(b.in_ms);
    EXPECT_FALSE(b.out_ms);
    const ClipSpanMarks c = span.MarksFor("C");
    EXPECT_TRUE(c.covered);
    EXPECT_FALSE(c.in_ms);
    EXPECT_EQ(c.out_ms, 10'000);
    EXPECT_FALSE(span.MarksFor("D").covered);
    EXPECT_FALSE(span.MarksFor("not on the card").covered);
}

TEST(ClipSpanTest, RejectedEndsKeepTheSpan) {
    ClipSpan span = Card();
    ASSERT_EQ(span.SetIn("B", 20'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.SetOut("B", 20'000), ClipSpanStatus::kOutBeforeIn);
    EXPECT_EQ(span.SetOut("B", 5'000), ClipSpanStatus::kOutBeforeIn);
    EXPECT_EQ(span.SetOut("A", 59'000), ClipSpanStatus::kOutBeforeIn);
    EXPECT_EQ(span.SetOut("D", 5'000), ClipSpanStatus::kOtherGroup);
    EXPECT_EQ(span.SetOut("X", 5'000), ClipSpanStatus::kUnknownRecording);
    EXPECT_EQ(span.SetIn("X", 5'000), ClipSpanStatus::kUnknownRecording);
    EXPECT_FALSE(span.has_out());
    EXPECT_EQ(span.FromMs(), 20'000);
    EXPECT_EQ(span.MarksFor("B").in_ms, 20'000);

    ASSERT_EQ(span.SetOut("C", 1'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.SetOut("D", 1'000), ClipSpanStatus::kOtherGroup);
    EXPECT_EQ(span.Recordings(), (Paths{"B", "C"}));
    EXPECT_EQ(span.ToMs(), 61'000);
}

TEST(ClipSpanTest, NewStartDropsAnEndThatNoLongerFollows) {
    ClipSpan span = Card();
    ASSERT_EQ(span.SetIn("A", 10'000), ClipSpanStatus::kOk);
    ASSERT_EQ(span.SetOut("B", 30'000), ClipSpanStatus::kOk);
    // Moving the start within the span keeps the end.
    ASSERT_EQ(span.SetIn("B", 5'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.Recordings(), Paths{"B"});
    EXPECT_EQ(span.ToMs(), 30'000);
    // Past the end, or in the other trip: the end goes.
    ASSERT_EQ(span.SetIn("B", 40'000), ClipSpanStatus::kOk);
    EXPECT_TRUE(span.has_in());
    EXPECT_FALSE(span.has_out());
    ASSERT_EQ(span.SetOut("C", 2'000), ClipSpanStatus::kOk);
    ASSERT_EQ(span.SetIn("D", 0), ClipSpanStatus::kOk);
    EXPECT_FALSE(span.has_out());

    span.Clear();
    EXPECT_FALSE(span.has_in());
    EXPECT_FALSE(span.MarksFor("D").in_ms);
}

TEST(ClipSpanTest, PointsStayInsideTheirRecording) {
    ClipSpan span = Card();
    // An end without a start: the span starts with that recording.
    ASSERT_EQ(span.SetOut("C", 10'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.Recordings(), Paths{"C"});
    EXPECT_EQ(span.FromMs(), 0);
    EXPECT_EQ(span.MarksFor("C").in_ms, 0);
    // Times beyond either end of a recording are pulled in.
    ASSERT_EQ(span.SetIn("A", -300), ClipSpanStatus::kOk);
    ASSERT_EQ(span.SetOut("A", 999'999), ClipSpanStatus::kOk);
    EXPECT_EQ(span.FromMs(), 0);
    EXPECT_EQ(span.ToMs(), 60'500);
    // A new card forgets the span.
    span.SetRecordings({Recording("A", kNoon, 60'000)});
    EXPECT_FALSE(span.has_in());
    EXPECT_FALSE(span.has_out());
}

TEST(ClipSpanTest, GapsAndUnknownTimesSplitTrips) {
    ClipSpan span;
    // E ends at +60 s; F starts 3 s late; G and H have no start time.
    span.SetRecordings({Recording("E", kNoon, 60'000), Recording("F", kNoon + 63, 60'000),
                        Recording("G", 0, 60'000), Recording("H", 0, 60'000)});
    ASSERT_EQ(span.SetIn("E", 1'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.SetOut("F", 1'000), ClipSpanStatus::kOtherGroup);
    ASSERT_EQ(span.SetIn("G", 1'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.SetOut("H", 1'000), ClipSpanStatus::kOtherGroup);
    // Two seconds late still counts as following.
    span.SetRecordings({Recording("E", kNoon, 60'000), Recording("F", kNoon + 62, 60'000)});
    ASSERT_EQ(span.SetIn("E", 1'000), ClipSpanStatus::kOk);
    EXPECT_EQ(span.SetOut("F", 1'000), ClipSpanStatus::kOk);
}

TEST(ClipSpanTest, DefaultNameFollowsTheCameraScheme) {
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    ClipSpan span = Card();
    ASSERT_EQ(span.SetIn("B", 12'700), ClipSpanStatus::kOk);
    // The requested start until the exporter says where it really starts.
    EXPECT_EQ(span.DefaultName(), "CLIP240518_120112.MOV");
    EXPECT_EQ(span.DefaultName(kNoon + 70), "CLIP240518_120110.MOV");
    EXPECT_EQ(span.DefaultName(kNoon + 70), DefaultClipName(kNoon + 70));
}

}  // namespace
}  // namespace orvo
