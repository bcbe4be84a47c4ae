// orvo-info incidents on a folder of written recordings.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/incidents/incident_telemetry.h"
#include "tests/library/card_files.h"

namespace orvo {
namespace {

using Json = nlohmann::ordered_json;
using test_support::CommandResult;
using test_support::RunCommand;
using test_support::ShellQuote;

CommandResult Incidents(const std::string& args) {
    return RunCommand("TZ=UTC0 " + ShellQuote(ORVO_INFO_PATH) + " incidents " + args);
}

std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
    return lines;
}

class IncidentsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 12:00:00, one minute: a 2.5 g knock at 20 s, hard braking at 40 s.
        testing::RecordingOptions normal;
        normal.gsensor = testing::LevelSamples(3000);
        normal.gsensor[1000].z = -40;
        normal.gps = testing::SteadyTrack(60, 10, 60);
        testing::Ramp(normal.gps, 400, 430, 60, 15);
        testing::WriteRecording(folder_.path() / "DCIM/MOVIE/FILE180501_120000.MOV", normal);
        // 12:01:00, an event recording without telemetry.
        testing::RecordingOptions event;
        event.minute = 1;
        testing::WriteRecording(folder_.path() / "DCIM/EVENT/EMER180501_120100.MOV", event);
    }

    testing::TempFolder folder_;
};

TEST_F(IncidentsCommandTest, OneLinePerIncidentInTimeOrder) {
    const CommandResult r = Incidents(ShellQuote(folder_.str()));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;

    const Json& knock = lines[0];
    std::vector<std::string> keys;
    for (auto it = knock.begin(); it != knock.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "offsetMs", "time", "kind", "peak",
                                              "durationMs", "speedKmh", "latitude", "longitude"}));
    EXPECT_EQ(knock["file"], folder_.str() + "/DCIM/MOVIE/FILE180501_120000.MOV");
    EXPECT_EQ(knock["offsetMs"], 20000);
    EXPECT_EQ(knock["time"], "2018-05-01T12:00:20.000");
    EXPECT_EQ(knock["kind"], "g-force");
    EXPECT_EQ(knock["peak"], 2.5);
    EXPECT_EQ(knock["speedKmh"], 60);
    EXPECT_NEAR(knock["latitude"].get<double>(), 35.0 + 40.2 / 60, 1e-6);
    EXPECT_NEAR(knock["longitude"].get<double>(), 139.75, 1e-6);

    EXPECT_EQ(lines[1]["kind"], "braking");
    EXPECT_NEAR(lines[1]["peak"].get<double>(), 15.0, 1.0);
    EXPECT_EQ(lines[1]["time"].get<std::string>().substr(0, 17), "2018-05-01T12:00:");

    EXPECT_EQ(lines[2]["kind"], "event");
    EXPECT_EQ(lines[2]["offsetMs"], 0);
    EXPECT_EQ(lines[2]["time"], "2018-05-01T12:01:00.000");
    EXPECT_FALSE(lines[2].contains("speedKmh"));
    EXPECT_FALSE(lines[2].contains("latitude"));
}

TEST_F(IncidentsCommandTest, ThresholdsFromTheCommandLine) {
    // A knock of 2.5 g and braking of 15 km/h/s pass neither.
    CommandResult r = Incidents(ShellQuote(folder_.str()) + " --g 3 --brake 16");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["kind"], "event");

    r = Incidents("--brake 1.5e1 " +
                  ShellQuote((folder_.path() / "DCIM/MOVIE/FILE180501_120000.MOV").string()));
    ASSERT_EQ(r.status, 0) << r.err;
    lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1]["kind"], "braking");
}

TEST_F(IncidentsCommandTest, BadArgumentsAndMissingPaths) {
    for (const std::string args : {"", "--g", "--g 0 x", "--g -1 x", "--g 1,5 x", "--g nan x",
                                   "--brake 5 x y", "--speed 3 x"}) {
        EXPECT_EQ(Incidents(args).status, 2) << args;
    }
    const CommandResult missing = Incidents(ShellQuote(folder_.str() + "/nothing"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nothing"), std::string::npos);
}

}  // namespace
}  // namespace orvo
