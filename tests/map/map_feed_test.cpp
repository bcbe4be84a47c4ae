// What the page is told while a clip is selected, played and sought: the
// catalogue feeding a recording page that formats marker moves as the map
// view does.
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gps/map_script.h"
#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/map/locale_switch.h"

namespace orvo {
namespace {

using testing::Fix;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

class RecordingPage : public IMapView {
public:
    void RunScript(const std::string& script) override { texts.push_back(script); }
    void MoveMarker(double latitude, double longitude, int) override {
        texts.push_back(MoveMarkerScript(map_choice, latitude, longitude));
    }
    size_t CountStartingWith(const std::string& prefix) const {
        size_t n = 0;
        for (const std::string& t : texts) n += t.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    int map_choice = kMapChoiceConverted;
    std::vector<std::string> texts;
};

GpsRecord NoFix(double latitude, double longitude) {
    GpsRecord r = Fix(latitude, longitude);
    r.flags = 0;
    return r;
}

class MapFeedTest : public ::testing::Test {
protected:
    void SetUp() override { catalog_.Bind(nullptr, nullptr, &page_, nullptr); }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }

    // One recording at 10 records per second; selects it.
    void SelectRecording(const std::vector<GpsRecord>& gps) {
        RecordingOptions options;
        options.gps = gps;
        options.gps_rate_word = {10, 0, 0, 0};
        WriteRecording(card_.path() / "FILE180501_120000.MOV", options);
        ASSERT_EQ(catalog_.Load(card_.str(), "FILE180501_120000.MOV"), 1);
        ASSERT_EQ(catalog_.SelectClip(0), 1);
    }

    TempFolder card_;
    CClipCatalog catalog_;
    RecordingPage page_;
};

// Records 0..99 along a line; every seventh has no fix, every eleventh a
// latitude of 200 degrees or more.
std::vector<GpsRecord> TrackWithGaps() {
    std::vector<GpsRecord> gps;
    for (int i = 0; i < 100; ++i) {
        const double lat = 3731.5 + i * 0.01;
        if (i % 7 == 3) {
            gps.push_back(NoFix(lat, 12701.2));
        } else if (i % 11 == 5) {
            gps.push_back(Fix(20000.0, 12701.2));
        } else {
            gps.push_back(Fix(lat, 12701.2));
        }
    }
    return gps;
}

bool Usable(int i) {
    return i % 7 != 3 && i % 11 != 5;
}

double Degrees(double stored) {
    return NmeaToDegrees(stored / 100.0);
}

TEST_F(MapFeedTest, TrackIsOneLineThroughTheUsableRecordsInOrder) {
    SelectRecording(TrackWithGaps());
    std::vector<std::string> expected = {"pathdrived_delete()", "path_delete()"};
    for (int i = 0; i < 100; ++i) {
        if (Usable(i)) {
            expected.push_back(PathPlotScript(Degrees(3731.5 + i * 0.01), 127.020000));
        }
    }
    EXPECT_EQ(page_.texts, expected);
    EXPECT_EQ(page_.texts[2], "path_plot(37.525000,127.020000)");
}

TEST_F(MapFeedTest, OneMarkerMovePerNewRecordDuringPlayback) {
    SelectRecording(TrackWithGaps());
    page_.texts.clear();
    // Time reports every 33 ms from 0.1 s to 9.9 s: records 1..98.
    for (int64_t t = 100; t < 9900; t += 33) catalog_.UpdateTelemetry(t, false, true);
    std::vector<std::string> expected;
    for (int i = 1; i < 99; ++i) {
        if (Usable(i))
            expected.push_back(MoveMarkerScript(kMapChoiceConverted, (3731.5 + i * 0.01) / 100.0,
                                                12701.2 / 100.0));
    }
    EXPECT_EQ(page_.texts, expected);
    // The map switched off: no marker move at all.
    page_.texts.clear();
    catalog_.UpdateTelemetry(9950, false, false);
    EXPECT_TRUE(page_.texts.empty());
}

TEST_F(MapFeedTest, MarkerFollowsTheMapChoice) {
    SelectRecording({Fix(3731.5, 12701.2), Fix(3731.5, 12701.2), Fix(3731.5, 12701.2)});
    page_.texts.clear();
    catalog_.UpdateTelemetry(100, false, true);
    page_.map_choice = kMapChoiceRaw;
    catalog_.UpdateTelemetry(200, false, true);
    EXPECT_EQ(page_.texts, (std::vector<std::string>{"movpos(37.525000, 127.020000)",
                                                     "movpos(37.315000, 127.012000)"}));
}

TEST_F(MapFeedTest, SeekRedrawsTheDrivenLineUpToTheRecordBeforeTheNewTime) {
    SelectRecording(TrackWithGaps());
    page_.texts.clear();
    catalog_.RedrawDrivenPath(5500);  // rate 10: the first 55 records
    ASSERT_FALSE(page_.texts.empty());
    EXPECT_EQ(page_.texts.front(), "pathdrived_delete()");
    size_t usable = 0;
    for (int i = 0; i < 55; ++i) usable += Usable(i) ? 1 : 0;
    EXPECT_EQ(page_.CountStartingWith("pathdrived_plot("), usable);
    EXPECT_EQ(page_.texts.size(), usable + 1);
    EXPECT_EQ(page_.texts[1], "pathdrived_plot(37.525000,127.020000)");
    // The last one plotted is record 54 (usable), never record 55.
    EXPECT_EQ(page_.texts.back(), PathDrivedPlotScript(Degrees(3731.5 + 54 * 0.01), 127.020000));
}

TEST_F(MapFeedTest, TextsDoNotFollowAGermanLocale) {
    std::string why;
    ASSERT_TRUE(testing::UseLocale("de_DE.UTF-8", "de_DE", &why)) << why;
    SelectRecording({Fix(3731.5, 12701.2), Fix(3731.5, 12701.2)});
    catalog_.UpdateTelemetry(100, false, true);
    catalog_.RedrawDrivenPath(200);
    EXPECT_EQ(page_.texts,
              (std::vector<std::string>{
                  "pathdrived_delete()", "path_delete()", "path_plot(37.525000,127.020000)",
                  "path_plot(37.525000,127.020000)", "movpos(37.525000, 127.020000)",
                  "pathdrived_delete()", "pathdrived_plot(37.525000,127.020000)",
                  "pathdrived_plot(37.525000,127.020000)"}));
}

}  // namespace
}  // namespace orvo
