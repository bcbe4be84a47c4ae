// N / Shift+N over the stops of a card.

#include <gtest/gtest.h>

#include <vector>

#include "incidents/incident_navigator.h"

namespace orvo {
namespace {

Incident At(uint32_t offset_ms, IncidentKind kind = IncidentKind::kGForce) {
    Incident incident;
    incident.kind = kind;
    incident.offsetMs = offset_ms;
    return incident;
}

TEST(IncidentStopsTest, NearbyIncidentsOfOneRecordingAreOneStopSeekedBeforeIt) {
    const std::vector<std::vector<Incident>> card = {
        {At(1000)},                                                     // seek clamped to 0
        {},                                                             // nothing
        {At(9000), At(9500, IncidentKind::kBraking), At(9000 + 2999)},  // one stop
        {At(20000), At(23000), At(24000)},                              // two stops
    };
    const std::vector<IncidentStop> stops = BuildIncidentStops(card);
    ASSERT_EQ(stops.size(), 4u);
    EXPECT_EQ(stops[0].entry, 0);
    EXPECT_EQ(stops[0].seekMs, 0u);
    EXPECT_EQ(stops[1].entry, 2);
    EXPECT_EQ(stops[1].incidentMs, 9000u);
    EXPECT_EQ(stops[1].seekMs, 9000u - kIncidentLeadMs);
    EXPECT_EQ(stops[2].incidentMs, 20000u);
    EXPECT_EQ(stops[3].incidentMs, 23000u);
    EXPECT_EQ(stops[3].entry, 3);
}

class IncidentNavigationTest : public ::testing::Test {
protected:
    std::vector<IncidentStop> stops_ = BuildIncidentStops(
        std::vector<std::vector<Incident>>{{At(1000)}, {}, {At(9000)}, {At(20000), At(40000)}});
};

TEST_F(IncidentNavigationTest, NextGoesToTheFirstIncidentNotReachedAndMovesOnAfterAJump) {
    // From the start of the card: the incident one second in, although its
    // seek point (0) has been passed.
    EXPECT_EQ(NextIncidentStop(stops_, 0, 0), 0);
    // Standing on it after the jump, N moves on across recordings.
    EXPECT_EQ(NextIncidentStop(stops_, 0, 300, 0), 1);
    EXPECT_EQ(NextIncidentStop(stops_, 2, 6200, 1), 2);
    // Played on past the incident, the jump no longer counts.
    EXPECT_EQ(NextIncidentStop(stops_, 2, 15000, 1), 2);
    EXPECT_EQ(NextIncidentStop(stops_, 1, 5000), 1);
    EXPECT_EQ(NextIncidentStop(stops_, 3, 30000), 3);
    EXPECT_EQ(NextIncidentStop(stops_, 3, 37300, 3), -1);
    EXPECT_EQ(NextIncidentStop(stops_, 3, 50000), -1);
    EXPECT_EQ(NextIncidentStop({}, 0, 0), -1);
}

TEST_F(IncidentNavigationTest, PreviousStepsBackFromAJumpAndReplaysAnIncidentWellInto) {
    EXPECT_EQ(PreviousIncidentStop(stops_, 3, 17200, 2), 1);
    EXPECT_EQ(PreviousIncidentStop(stops_, 2, 6100, 1), 0);
    EXPECT_EQ(PreviousIncidentStop(stops_, 0, 100, 0), -1);
    // Without a jump: the last stop whose seek point lies two seconds back.
    EXPECT_EQ(PreviousIncidentStop(stops_, 3, 25000), 2);
    EXPECT_EQ(PreviousIncidentStop(stops_, 3, 18000), 1);
    EXPECT_EQ(PreviousIncidentStop(stops_, 2, 0), 0);
    EXPECT_EQ(PreviousIncidentStop(stops_, 0, 1500), -1);
    EXPECT_EQ(PreviousIncidentStop({}, 5, 5000), -1);
}

}  // namespace
}  // namespace orvo
