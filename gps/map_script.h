#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// The map page's script calls, as texts. The numbers are written like the C
// "%f" conversion (six decimals) but always with '.', whatever the process
// locale says: a comma would turn "path_plot(37.5,127.0)" into four
// arguments.

// Map choices of the settings (string 105 and 106). Only the marker position
// depends on them.
inline constexpr int kMapChoiceConverted = 0;  // stored NMEA form converted to degrees
inline constexpr int kMapChoiceRaw = 1;        // stored value / 100 passed as it is

inline constexpr std::string_view kPathDeleteScript = "path_delete()";
inline constexpr std::string_view kPathDrivedDeleteScript = "pathdrived_delete()";

// One number as "%f" writes it in the "C" locale: six decimals, '.' as the
// separator, "nan"/"inf" (with their sign) for the non-finite values.
std::string FormatScriptNumber(double value);

std::string MovPosScript(double latitude, double longitude);          // "movpos(%f, %f)"
std::string PathPlotScript(double latitude, double longitude);        // "path_plot(%f,%f)"
std::string PathDrivedPlotScript(double latitude, double longitude);  // "pathdrived_plot(%f,%f)"

// The page's trip line: the whole trip's track under the recording's own.
inline constexpr std::string_view kTripDeleteScript = "trip_delete()";
inline constexpr std::string_view kTripFitScript = "trip_fit()";
std::string TripPlotScript(double latitude, double longitude);  // "trip_plot(%f,%f)"

struct MapPosition {
    double latitude = 0;
    double longitude = 0;
};

// Marker position for the page from the stored values / 100: converted to
// decimal degrees for choice 0 (and any unknown choice), unchanged for
// choice 1.
MapPosition MarkerPosition(int map_choice, double latitude, double longitude);

// The "movpos" text for a marker move with the given map choice.
std::string MoveMarkerScript(int map_choice, double latitude, double longitude);

// True when the text is one function call whose arguments are plain numbers
// (or nothing), such as every text above. Such calls can share one script
// execution without changing what each of them does.
bool IsPlainScriptCall(std::string_view text);

// Joins consecutive script texts into as few script executions as possible,
// keeping every text and their order. A run of plain calls becomes one
// function in which each called name stands for a guard around the page's
// function of that name, so a failing call still leaves the next ones
// running, as separate executions would. Any other text is kept as an
// execution of its own, because a syntax error in it would otherwise stop
// its neighbours from running. A joined text is closed once it reaches
// max_chars (the last call may pass it).
inline constexpr size_t kMaxJoinedScriptChars = 4u << 20;
std::vector<std::string> JoinScripts(const std::vector<std::string>& texts,
                                     size_t max_chars = kMaxJoinedScriptChars);

}  // namespace orvo
